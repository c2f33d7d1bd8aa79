#pragma once
// What a picture's caption says: when it was taken, where, the folder it is in and its name, in
// the order the user chose, from what the file itself tells.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "caption/places.h"
#include "settings/caption_text.h"

namespace mv {

struct CalendarDay {
    int year = 0, month = 0, day = 0;
    bool operator==(const CalendarDay&) const = default;
};

struct PhotoFacts {
    std::optional<CalendarDay> taken;    // the camera's date, from Exif
    std::optional<CalendarDay> written;  // the file's last change, in local time
    std::optional<Place> place;          // the town nearest the Exif GPS position
    std::string folder;                  // the name of the folder the file is in
    std::string name;                    // the file's name without its extension
};

// Reads the facts of the file at `path` (UTF-8): the Exif of its first bytes, and its time of
// writing. A file that cannot be read has only its folder and name.
PhotoFacts ReadPhotoFacts(const std::string& path);

// The caption's words joined by " · ", each as the facts give it: the date taken (else the
// file's date) written by `writeDate`, "Town, Country", the folder's and the file's name. A
// word with nothing to say is left out; no words give "".
std::string CaptionSays(const std::vector<CaptionWord>& words, const PhotoFacts& facts,
                        const std::function<std::string(const CalendarDay&)>& writeDate);

}  // namespace mv
