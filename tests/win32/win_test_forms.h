#pragma once
// Forms and helpers for the tests that drive real Win32 windows (under Wine on a virtual display).
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "platform/ui/form.h"
#include "platform/win32/win_platform.h"

namespace mv::test {

inline std::wstring uniqueName(const wchar_t* stem) {
    return std::wstring(stem) + std::to_wstring(std::random_device{}());
}

// A platform whose instance marker and settings root cannot meet the real program's.
struct TestWinPlatform : win32::WinPlatform {
    TestWinPlatform()
        : WinPlatform(L"", uniqueName(L"Local\\MarvoscopeTest-"), uniqueName(L"Software\\MarvoscopeTest-")) {}
};

// A painted full-screen window that writes down every handler call.
class RecordingForm : public Form {
public:
    RecordingForm(Platform& p, std::string caption) : Form(p, std::move(caption)) {
        setDesign(BorderStyle::None, ScaleMode::Pixels, 0, 0, 0, 3000, 2000);
    }
    std::vector<std::string> events;
    bool unloadOnClick = false;

    void Form_Unload(int16_t&) override { events.push_back("unload"); }
    void Form_Click() override {
        events.push_back("click");
        if (unloadOnClick) Unload();
    }
    void Form_DblClick() override { events.push_back("dblclick"); }
    void Form_KeyDown(int16_t k, int16_t) override { events.push_back("keydown " + std::to_string(k)); }
    void Form_KeyPress(int16_t k) override { events.push_back("keypress " + std::to_string(k)); }
    void Form_MouseDown(int16_t b, int16_t, float x, float y) override { events.push_back(mouse("down", b, x, y)); }
    void Form_MouseUp(int16_t b, int16_t, float x, float y) override { events.push_back(mouse("up", b, x, y)); }
    void Form_MouseMove(int16_t b, int16_t, float x, float y) override { events.push_back(mouse("move", b, x, y)); }

private:
    static std::string mouse(const char* what, int16_t b, float x, float y) {
        return std::string(what) + " " + std::to_string(b) + " " + std::to_string(static_cast<int>(x)) + "," +
               std::to_string(static_cast<int>(y));
    }
};

// The native window of a loaded form, found by its exact title.
inline HWND windowTitled(const std::string& title) {
    return FindWindowW(nullptr, std::wstring(title.begin(), title.end()).c_str());
}

}  // namespace mv::test
