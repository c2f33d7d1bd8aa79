#include "load_picture.h"

#include "error.h"
#include "files.h"
#include "gif/gif_picture.h"
#include "platform.h"

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
