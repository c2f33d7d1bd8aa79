#include "platform/picture/load_picture.h"

#include "platform/error.h"
#include "platform/files/files.h"
#include "platform/picture/gif/gif_picture.h"
#include "platform/platform.h"

namespace mv {

PicturePtr LoadPicture(Platform& platform, const std::string& path) {
    auto& table = files::fileTable();
    const int n = table.freeFile();
    table.open(n, path, files::Mode::ReadOnly);
    std::vector<uint8_t> bytes;
    try {
        if (table.length(n) > kMaxPictureFileBytes) throw PlatformError(ErrInvalidPicture, "Invalid picture");
        bytes = table.readAll(n);
    } catch (...) {
        table.close(n);
        throw;
    }
    table.close(n);
    if (bytes.size() >= 4 && bytes[0] == 'G' && bytes[1] == 'I' && bytes[2] == 'F' && bytes[3] == '8')
        return decodeGifPicture(std::move(bytes));
    return platform.decodeStill(bytes);
}

}  // namespace mv
