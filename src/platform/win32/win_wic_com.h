#pragma once
// What every use of the Windows Imaging Component needs: COM on the calling thread, for as long
// as one call lasts, and the imaging factory.
#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

namespace mv::win32 {

template <class T>
using ComRef = Microsoft::WRL::ComPtr<T>;

// COM on this thread for the scope's life. Pictures are decoded on the user-interface thread
// and on the slideshow's own thread alike, so each call sees to it itself; a thread that
// already runs COM in another apartment model keeps it, and the imaging objects work in either.
class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool paired_ = false;
};

// The imaging factory; throws PlatformError(ErrInvalidPicture) when the system has none.
ComRef<IWICImagingFactory> wicFactory();

}  // namespace mv::win32
