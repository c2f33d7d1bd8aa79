#include "platform/win32/win_wic_com.h"

#include "platform/error.h"

namespace mv::win32 {

ComScope::ComScope() {
    // S_FALSE (already initialised the same way) is paired too; RPC_E_CHANGED_MODE is not.
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    paired_ = hr == S_OK || hr == S_FALSE;
}

ComScope::~ComScope() {
    if (paired_) CoUninitialize();
}

ComRef<IWICImagingFactory> wicFactory() {
    ComRef<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.GetAddressOf()))) ||
        !factory)
        throw PlatformError(ErrInvalidPicture, "No imaging component");
    return factory;
}

}  // namespace mv::win32
