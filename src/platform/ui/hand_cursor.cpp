#include "platform/ui/hand_cursor.h"

#include <string_view>

namespace mv {

namespace {

// '.' transparent, 'X' black outline, 'o' white fill.
constexpr std::string_view kHand[32] = {
    "................................",
    "...........XXX..................",
    "..........XoooX.................",
    "..........XoooX.................",
    "..........XoooX.................",
    "..........XoooX.................",
    "..........XoooX.................",
    "..........XoooXXXX..............",
    "..........XoooXoooXXXX..........",
    "..........XoooXoooXoooXXX.......",
    "..........XoooXoooXoooXooX......",
    "......XXX.XoooXoooXoooXoooX.....",
    "......XoooXoooooooooooooooX.....",
    "......XooooXooooooooooooooX.....",
    ".......XoooXooooooooooooooX.....",
    ".......XooooooooooooooooooX.....",
    "........XoooooooooooooooooX.....",
    "........XoooooooooooooooooX.....",
    ".........XooooooooooooooooX.....",
    ".........XoooooooooooooooX......",
    "..........XooooooooooooooX......",
    "..........XooooooooooooooX......",
    "...........XooooooooooooX.......",
    "...........XooooooooooooX.......",
    "...........XXXXXXXXXXXXXX.......",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
};

CursorPicture draw() {
    CursorPicture c;
    c.image.resize(32, 32, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32 && x < static_cast<int>(kHand[y].size()); ++x) {
            const char p = kHand[y][static_cast<size_t>(x)];
            c.image.row(y)[x] = p == 'X' ? 0xFF000000u : p == 'o' ? 0xFFFFFFFFu : 0u;
        }
    c.hotX = 12;
    c.hotY = 1;
    return c;
}

}  // namespace

const CursorPicture& handCursor() {
    static const CursorPicture cursor = draw();
    return cursor;
}

}  // namespace mv
