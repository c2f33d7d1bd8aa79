#include "platform/qt/qt_x_screen.h"

#include <cstdlib>

namespace mv::qt {

const xcb_screen_t* defaultScreen(xcb_connection_t* c) {
    // Qt opened the display that DISPLAY names; its screen part is the default screen.
    static const int screen = [] {
        int number = 0, display = 0;
        char* host = nullptr;
        if (!xcb_parse_display(nullptr, &host, &display, &number)) number = 0;
        std::free(host);
        return number;
    }();
    auto it = xcb_setup_roots_iterator(xcb_get_setup(c));
    const xcb_screen_t* first = it.data;
    for (int i = 0; it.rem; xcb_screen_next(&it), ++i)
        if (i == screen) return it.data;
    return first;
}

}  // namespace mv::qt
