#pragma once
// Hosted mode: the show drawn inside a window that a screen-saver host (or the desktop) owns.
// The host keeps the screen, the input and the lock; the show only paints until it is told to
// stop. Its options are the ones screen-saver hosts pass their savers.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/picture/placement.h"
#include "settings/caption_text.h"

namespace mv {

struct App;

// Where a hosted show draws: in an X window, or on a Wayland layer-shell surface of every output,
// under the windows (a desktop background) or above them (a show that input ends).
enum class HostedLayer { None, Background, Overlay };

struct HostedRequest {
    uint64_t window = 0;             // the window to draw in; 0 for the screen's root window
    std::optional<std::string> file;  // the picture for this run instead of the stored one
    std::optional<PicturePlacement> placement;  // instead of the stored one
    // A folder's slideshow options instead of the stored ones.
    std::optional<int> intervalSeconds;
    std::optional<bool> shuffle, fade;
    // What is written over the pictures instead of the stored choice; no words: no caption.
    std::optional<std::vector<CaptionWord>> caption;
    std::optional<bool> clock;
    // Stills drifting in a slow pan and zoom, and their frames a second at most.
    std::optional<bool> motion;
    std::optional<int> motionRate;
    HostedLayer layer = HostedLayer::None;  // --layer; then `window` is unused
    std::string notice;              // an option that was left aside, for one line
    std::string error;               // why the options cannot be followed, for one line
};

// Every option ParseHostedRequest reads, which hosts also write with one dash: the command line
// refuses any other option outside hosted mode, so a new one is added here and in the parser.
struct HostedOption {
    const char* name;  // without dashes
    bool takesValue;
    bool marksHosted;  // --root, --window-id and --layer turn hosted mode on; the others only modify it
};
inline constexpr HostedOption kHostedOptions[] = {
    {"root", false, true},       {"window-id", true, true}, {"layer", true, true},
    {"file", true, false},       {"placement", true, false}, {"interval", true, false},
    {"shuffle", false, false},   {"no-shuffle", false, false}, {"fade", false, false},
    {"no-fade", false, false},   {"caption", true, false},   {"clock", false, false},
    {"no-clock", false, false},  {"motion", false, false},  {"no-motion", false, false},
    {"motion-rate", true, false},
};

// The hosted-mode request of a command line: "-root"/"--root", or "-window-id ID"/"--window-id ID"
// (hexadecimal 0x... or decimal), plus "--file PATH" and "--placement stretch|fit|fill|blur" (an
// unknown placement is left aside with a notice, the stored one applying), "--caption LIST" (the
// words date, place, folder and name, comma-separated; "none" or no word for no caption; an
// unknown word is left out with a notice), "--clock"/"--no-clock", "--motion"/"--no-motion" and
// "--motion-rate N" (frames a second, kept within 1..60; no number is left aside with a notice), "--layer background|overlay" in
// place of a window, and for a folder "--interval N" (seconds, kept within 2..3600; a value that
// is no number is left aside with a notice), "--shuffle"/"--no-shuffle" and "--fade"/"--no-fade".
// Without a window id the window comes from
// envWindow (the XSCREENSAVER_WINDOW variable: hexadecimal or decimal), else it is the root.
// nullopt when the command line carries none of -root, -window-id and --layer: then the screen-saver
// switches decide as ever.
std::optional<HostedRequest> ParseHostedRequest(const std::vector<std::string>& arguments, const std::string& envWindow);

// The first word of a --caption list that names no part of a caption ("none" does: no caption);
// "" when there is none.
std::string UnknownCaptionWord(const std::string& list);

// A window id as hosts write it: "0x" hexadecimal or decimal, non-zero, at most 32 bits.
std::optional<uint64_t> ParseWindowId(const std::string& text);

// Runs the show inside the requested window: no cursor change, no single-instance rule, no
// setup dialog, and input does not end it. An overlay layer is the exception: input ends it as
// it ends a show, and a second overlay in the session ends at once.
void RunHosted(App& app, const HostedRequest& request);

// The picture path of --file as its caller meant it. Hosts store paths in the home folder as
// "~/..." and start their savers without a shell, so a leading "~" or "~/" means `home`; a
// relative path is relative to the caller's `workingDir`, as the program moves to its own
// folder before it reads the picture. Either stays as given when that folder is not known.
std::string HostedFilePath(const std::string& path, const std::string& home, const std::string& workingDir);

// The one line that says why a hosted show has nothing to show.
std::string HostedNoPictureReason(const std::string& path);

}  // namespace mv
