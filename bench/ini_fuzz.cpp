// libFuzzer target for the settings file's reader and editor: any text reads back byte for
// byte, and a saved value reads back as saved while the other values stay as they were.
#include <cstdint>
#include <string>

#include "settings/ini_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first bytes choose the value to save; the rest is the file.
    const size_t cut = size > 0 ? data[0] % 24 : 0;
    const size_t valueSize = cut < size ? cut : size;
    const std::string value(reinterpret_cast<const char*>(data), valueSize);
    const std::string text(reinterpret_cast<const char*>(data) + valueSize, size - valueSize);

    const mv::ini::File file(text);
    if (file.text() != text) __builtin_trap();
    const auto other = file.value("Settings", "AniFile");
    const auto elsewhere = file.value("Other", "Mousesens");

    mv::ini::File edited = file;
    edited.set("Settings", "Mousesens", value);
    edited.set("sEttings", "BackColors", value + "=");
    const mv::ini::File reread(edited.text());
    if (reread.value("Settings", "Mousesens") != value) __builtin_trap();
    if (reread.value("SETTINGS", "backcolors") != value + "=") __builtin_trap();
    if (reread.value("Settings", "AniFile") != other) __builtin_trap();
    if (reread.value("Other", "Mousesens") != elsewhere) __builtin_trap();
    return 0;
}
