// libFuzzer target for the settings file's reader and editor: any text reads back byte for
// byte, a saved value reads back as saved while the other values stay as they were, and for
// every text and edit the reader and editor agree, value for value and byte for byte, with the
// plain one-object-a-line version they replaced.
#include <cstdint>
#include <string>

#include "ini_reference.h"
#include "settings/ini_format.h"

namespace {

// Names the edits and lookups use: as the program writes them, in other cases, with escapes
// and blanks, and empty.
const char* const kSections[] = {"Settings", "sEttings", "Other", "", " Sec]tion= "};
const char* const kKeys[] = {"AniFile", "Mousesens", "backcolors", "", "k\\x41", "=[;#"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte chooses the value's length and the second the edits; the rest is the file.
    const size_t cut = size > 0 ? data[0] % 24 : 0;
    const size_t valueSize = cut < size ? cut : size;
    const std::string value(reinterpret_cast<const char*>(data), valueSize);
    const unsigned edits = valueSize < size ? data[valueSize] : 0;
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

    // Both versions, through a few edits chosen by the input. The plain one is read afresh after
    // each edit: its list of lines could drift from its own text (a line end it added behind a
    // lone CR makes one CRLF), and what counts is the text, as the next read of the file sees it.
    mv::ini::File shipped(text);
    mv::fuzz::ini_reference::File reference(text);
    for (int step = 0; step < 3; ++step) {
        const unsigned pick = (edits >> (step * 2)) + static_cast<unsigned>(step);
        const std::string section = kSections[pick % 5], key = kKeys[(pick / 5 + static_cast<unsigned>(step)) % 6];
        for (const char* s : kSections)
            for (const char* k : kKeys)
                if (shipped.value(s, k) != reference.value(s, k)) __builtin_trap();
        const std::string v = step == 1 ? value + " " : value;
        shipped.set(section, key, v);
        reference.set(section, key, v);
        reference = mv::fuzz::ini_reference::File(reference.text());
        if (shipped.text() != reference.text()) __builtin_trap();
    }
    for (const char* s : kSections)
        for (const char* k : kKeys)
            if (shipped.value(s, k) != reference.value(s, k)) __builtin_trap();
    return 0;
}
