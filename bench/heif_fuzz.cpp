// libFuzzer target for HEIF/HEIC and AVIF stills: the backend's libheif decoder, whole and reduced.
#include "photo_fuzz.h"
#include "platform/qt/qt_heif_decoder.h"
#include "platform/picture/picture_kind.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    mv::qt::startHeif();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)mv::PictureKindOf(data, size);
    mv::fuzz::decodeBounded(mv::qt::decodeHeif, std::vector<uint8_t>(data, data + size));
    return 0;
}
