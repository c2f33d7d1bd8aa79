#pragma once
// HEIF/HEIC (HEVC, 8 or 10 bits) and AVIF stills through libheif.
#include <cstdint>
#include <vector>

#include "platform/picture/decode_size.h"
#include "platform/picture/picture.h"

namespace mv::qt {

// libheif's plugins are loaded once, before any thread decodes; the program does it at start-up
// and the decoder does it itself where nothing did. stopHeif undoes what startHeif did.
void startHeif();
void stopHeif();

// The primary image, turned and cropped as the file says. The declared size is checked before
// anything is decoded; an opaque picture larger than `floor` asks is averaged down to it while
// it is read out of libheif's own pixels. Throws ErrInvalidPicture.
PicturePtr decodeHeif(const std::vector<uint8_t>& bytes, const DecodeFloor& floor = {});

}  // namespace mv::qt
