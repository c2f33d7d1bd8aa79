#include "startup/hosted.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/files/files.h"
#include "saver/frmMain.h"
#include "settings/number_text.h"
#include "settings/settings.h"
#include "platform/modes.h"
#include "settings/placement_text.h"
#include "settings/slideshow_text.h"
#include "startup/app.h"
#include "startup/mod1.h"

namespace mv {

std::optional<uint64_t> ParseWindowId(const std::string& text) {
    const std::string t = TrimBlanks(text);
    const bool hex = t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
    const std::string digits = hex ? t.substr(2) : t;
    if (digits.empty() || digits.size() > 10) return std::nullopt;
    for (char c : digits) {
        const bool ok = hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c));
        if (!ok) return std::nullopt;
    }
    const uint64_t value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    // X window ids are 29-bit values; anything past 32 bits is not one.
    if (value == 0 || value > 0xFFFFFFFFull) return std::nullopt;
    return value;
}

std::optional<HostedRequest> ParseHostedRequest(const std::vector<std::string>& arguments, const std::string& envWindow) {
    HostedRequest request;
    bool hosted = false, windowGiven = false;
    auto valueOf = [&](size_t& i, const std::string& name) -> std::optional<std::string> {
        const std::string& a = arguments[i];
        for (const std::string& form : {"-" + name, "--" + name}) {
            if (a == form) {
                if (i + 1 >= arguments.size()) {
                    request.error = a + " needs a value";
                    return std::string();
                }
                return arguments[++i];
            }
            if (a.rfind(form + "=", 0) == 0) return a.substr(form.size() + 1);
        }
        return std::nullopt;
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "-root" || a == "--root") {
            hosted = true;
        } else if (auto id = valueOf(i, "window-id")) {
            hosted = windowGiven = true;
            if (!request.error.empty()) continue;
            if (auto value = ParseWindowId(*id))
                request.window = *value;
            else
                request.error = "not a window id: '" + *id + "'";
        } else if (auto layer = valueOf(i, "layer")) {
            hosted = true;
            if (!request.error.empty()) continue;
            if (*layer == "background")
                request.layer = HostedLayer::Background;
            else if (*layer == "overlay")
                request.layer = HostedLayer::Overlay;
            else
                request.error = "unknown layer '" + *layer + "' (background or overlay)";
        } else if (auto file = valueOf(i, "file")) {
            request.file = *file;
        } else if (auto interval = valueOf(i, "interval")) {
            if (!request.error.empty()) continue;
            if (continueStep([&] { ParseInt32(*interval); })) {
                request.intervalSeconds = IntervalFromText(*interval);
                if (const std::string note = IntervalNote(*interval); !note.empty()) request.notice = note;
            } else
                request.notice = "'" + *interval + "' is not a number of seconds; using the stored interval";
        } else if (a == "-shuffle" || a == "--shuffle" || a == "-no-shuffle" || a == "--no-shuffle") {
            request.shuffle = a.find("no-") == std::string::npos;
        } else if (a == "-fade" || a == "--fade" || a == "-no-fade" || a == "--no-fade") {
            request.fade = a.find("no-") == std::string::npos;
        } else if (auto placement = valueOf(i, "placement")) {
            request.placement = PlacementFromText(*placement);
            if (!request.placement && request.error.empty())
                request.notice = "unknown placement '" + *placement + "' (stretch, fit, fill or blur); using the stored one";
        } else if (auto caption = valueOf(i, "caption")) {
            if (!request.error.empty()) continue;
            request.caption = CaptionWordsFromText(*caption);
            if (const std::string odd = UnknownCaptionWord(*caption); !odd.empty())
                request.notice = "unknown caption word '" + odd + "' (date, place, folder, name or none) left out";
        } else if (a == "-clock" || a == "--clock" || a == "-no-clock" || a == "--no-clock") {
            request.clock = a.find("no-") == std::string::npos;
        } else if (a == "-motion" || a == "--motion" || a == "-no-motion" || a == "--no-motion") {
            request.motion = a.find("no-") == std::string::npos;
        } else if (auto rate = valueOf(i, "motion-rate")) {
            request.motionRate = MotionRateFromText(*rate);
            if (!request.motionRate && request.error.empty())
                request.notice = "'" + *rate + "' is not a number of frames a second; using the stored rate";
        }
        // Anything else is a host's option for other savers; it changes nothing here.
    }
    if (!hosted) return std::nullopt;
    if (request.layer != HostedLayer::None) {
        // A Wayland surface and an X window are two different places to draw: no guessing.
        if (windowGiven || std::find(arguments.begin(), arguments.end(), "--root") != arguments.end() ||
            std::find(arguments.begin(), arguments.end(), "-root") != arguments.end())
            if (request.error.empty()) request.error = "--layer cannot go with --root or --window-id";
        return request;
    }
    if (!windowGiven && request.error.empty() && !TrimBlanks(envWindow).empty()) {
        if (auto value = ParseWindowId(envWindow))
            request.window = *value;
        else
            request.error = "XSCREENSAVER_WINDOW is not a window id: '" + envWindow + "'";
    }
    return request;
}

std::string UnknownCaptionWord(const std::string& list) {
    size_t from = 0;
    while (from <= list.size()) {
        size_t to = list.find(',', from);
        if (to == std::string::npos) to = list.size();
        const std::string word = TrimBlanks(list.substr(from, to - from));
        std::string lower;
        for (char c : word) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!lower.empty() && lower != "none" && CaptionWordsFromText(lower).empty()) return word;
        from = to + 1;
    }
    return {};
}

std::string HostedFilePath(const std::string& path, const std::string& home, const std::string& workingDir) {
    auto under = [](std::string dir, const std::string& rest) {
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        return rest.empty() ? dir : (dir == "/" ? "" : dir) + "/" + rest;
    };
    const std::string trimmed = TrimBlanks(path);
    if (trimmed.empty() || trimmed[0] == '/') return path;
    if (path == "~" || path.rfind("~/", 0) == 0) return home.empty() ? path : under(home, path.substr(path == "~" ? 1 : 2));
    return workingDir.empty() ? path : under(workingDir, path);
}

std::string HostedNoPictureReason(const std::string& path) {
    if (TrimBlanks(path).empty())
        return "marvoscope: no picture chosen; choose one with 'marvoscope /C' or pass --file PATH";
    if (files::isFolder(path))
        return "marvoscope: no picture in '" + path + "' can be shown; showing the background colour";
    return "marvoscope: cannot show '" + path + "'; showing the background colour";
}

void RunHosted(App& app, const HostedRequest& request) {
    Platform& p = app.platform;
    if (!request.error.empty()) {
        p.report("marvoscope: " + request.error);
        return;
    }
    if (!request.notice.empty()) p.report("marvoscope: " + request.notice);
    // Read before the move to the program's folder: a relative --file is the caller's.
    if (request.file) app.hostedFile = HostedFilePath(*request.file, p.environment("HOME"), p.workingDirectory());
    p.setCurrentDirectory(p.programDirectory());
    if (request.layer == HostedLayer::None)
        p.hostIn(request.window);
    else
        p.hostOnLayer(request.layer == HostedLayer::Overlay);
    app.hosted = true;
    app.hostedLayer = request.layer;
    app.hostedPlacement = request.placement;
    app.hostedInterval = request.intervalSeconds;
    app.hostedShuffle = request.shuffle;
    app.hostedFade = request.fade;
    app.hostedCaption = request.caption;
    app.hostedClock = request.clock;
    app.hostedMotion = request.motion;
    app.hostedMotionRate = request.motionRate;
    if (request.layer == HostedLayer::Overlay) {
        // Two overlays would fight over the keyboard; the second goes, as a second show does.
        if (p.prevInstance() && p.findWindow(frmMain::kCaption)) {
            p.report("marvoscope: an overlay is already showing");
            p.terminate();
        }
        CheckPrevInstance(app);
    }
    app.mainForm->Load();
}

}  // namespace mv
