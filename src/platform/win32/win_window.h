#pragma once
// What every window of the backend shares: one window procedure that hands each message to the
// object behind the window, each class registered once, and the program's icons.
#include <windows.h>

namespace mv::win32 {

// The object behind a window, which answers its messages. Passed as the creation parameter of
// CreateWindowExW (as a WindowTarget*, not the object's own pointer, which may differ), it
// receives the window's messages from the first one on.
class WindowTarget {
public:
    virtual LRESULT handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) = 0;

protected:
    ~WindowTarget() = default;
};

// Registers a class of windows that answer through their WindowTarget; a name already
// registered is left as it is. With `icons` the class carries the program's icons.
void registerWindowClass(const wchar_t* name, UINT style, bool icons);

// Ties a window to a target, or unties it: a window without one gets the system's defaults.
void attachTarget(HWND hwnd, WindowTarget* target);
void detachTarget(HWND hwnd);
// Unties a window and all its children, then destroys it: its last messages must not reach an
// object being destroyed.
void destroyDetached(HWND hwnd);
// Shows a top-level window and gives it the keyboard.
void bringToFront(HWND hwnd);

// The program's icon at the large or small system size (null when the resource is missing).
HICON appIcon(bool small);
// A top-level window's caption and task bar icons.
void setAppIcons(HWND hwnd);

}  // namespace mv::win32
