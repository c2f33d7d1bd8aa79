#include "caption/caption_says.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "platform/picture/exif_facts.h"

namespace mv {

namespace {

// Exif sits at a JPEG's start, and before a PNG's image data in the files that carry it.
constexpr size_t kHeadBytes = 256 * 1024;

std::filesystem::path pathOf(const std::string& utf8) { return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())); }

std::optional<CalendarDay> localDay(std::filesystem::file_time_type when) {
    const auto sys = std::chrono::file_clock::to_sys(when);
    const std::time_t t = std::chrono::system_clock::to_time_t(sys);
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &t) != 0) return std::nullopt;
#else
    if (!localtime_r(&t, &tm)) return std::nullopt;
#endif
    return CalendarDay{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

}  // namespace

PhotoFacts ReadPhotoFacts(const std::string& path) {
    PhotoFacts facts;
    const size_t cut = path.find_last_of("/\\");
    const std::string file = cut == std::string::npos ? path : path.substr(cut + 1);
    const size_t dot = file.find_last_of('.');
    facts.name = dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
    if (cut != std::string::npos && cut > 0) {
        const std::string dir = path.substr(0, cut);
        const size_t up = dir.find_last_of("/\\");
        facts.folder = up == std::string::npos ? dir : dir.substr(up + 1);
    }
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(pathOf(path), ec);
    if (!ec) facts.written = localDay(written);
    std::ifstream in(pathOf(path), std::ios::binary);
    if (!in) return facts;
    std::vector<uint8_t> head(kHeadBytes);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    const ExifFacts exif = exifFacts(head);
    if (exif.taken) facts.taken = CalendarDay{exif.taken->year, exif.taken->month, exif.taken->day};
    if (exif.position) facts.place = nearestPlace(exif.position->latitude, exif.position->longitude);
    return facts;
}

std::string CaptionSays(const std::vector<CaptionWord>& words, const PhotoFacts& facts,
                        const std::function<std::string(const CalendarDay&)>& writeDate) {
    std::string line;
    for (CaptionWord word : words) {
        std::string part;
        switch (word) {
            case CaptionWord::Date:
                if (facts.taken || facts.written) part = writeDate(facts.taken ? *facts.taken : *facts.written);
                break;
            case CaptionWord::Place:
                if (facts.place) part = facts.place->town + ", " + facts.place->country;
                break;
            case CaptionWord::Folder: part = facts.folder; break;
            case CaptionWord::Name: part = facts.name; break;
        }
        if (part.empty()) continue;
        line += (line.empty() ? "" : " \xC2\xB7 ") + part;
    }
    return line;
}

}  // namespace mv
