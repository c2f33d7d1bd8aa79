// libFuzzer target for JPEG XL stills: the backend's libjxl decoder, whole and reduced.
#include "photo_fuzz.h"
#include "platform/qt/qt_jxl_decoder.h"
#include "platform/picture/picture_kind.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)mv::PictureKindOf(data, size);
    mv::fuzz::decodeBounded(mv::qt::decodeJxl, std::vector<uint8_t>(data, data + size));
    return 0;
}
