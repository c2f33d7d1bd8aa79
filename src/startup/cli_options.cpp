#include "startup/cli_options.h"

#include "settings/number_text.h"
#include "settings/settings.h"
#include "startup/hosted.h"
#include "startup/mod1.h"

#ifndef MARVOSCOPE_VERSION
#error "MARVOSCOPE_VERSION comes from the build"
#endif

namespace mv {

namespace {

bool isHelp(const std::string& a) { return a == "--help" || a == "-h"; }
bool isVersion(const std::string& a) { return a == "--version" || a == "-V"; }

const HostedOption* knownOption(const std::string& a, bool& valueAttached) {
    const size_t dashes = a.rfind("--", 0) == 0 ? 2 : a.rfind('-', 0) == 0 ? 1 : 0;
    if (dashes == 0) return nullptr;
    const std::string body = a.substr(dashes);
    for (const HostedOption& option : kHostedOptions) {
        if (body == option.name) {
            valueAttached = false;
            return &option;
        }
        if (option.takesValue && body.rfind(std::string(option.name) + "=", 0) == 0) {
            valueAttached = true;
            return &option;
        }
    }
    return nullptr;
}

CliAnswer mistake(const std::string& line) {
    return CliAnswer{2, "", "marvoscope: " + line + "\n" + UsageLine() + "\n"};
}

}  // namespace

std::string UsageLine() {
    return "Usage: marvoscope [/S | /C | /P | /A] | --root | --window-id ID | --layer L [--file PATH] [--placement P]\n"
           "         [--interval N] [--shuffle | --no-shuffle] [--fade | --no-fade] [--caption LIST]\n"
           "         [--clock | --no-clock] [--motion | --no-motion] [--motion-rate N]\n"
           "Try 'marvoscope --help' for more information.";
}

std::string HelpText(CliSystem system) {
    const std::string settingsName = std::string(kAppName);
    if (system == CliSystem::Windows) {
        return "Usage: Marvoscope.scr [/S | /C | /P | /A]\n\n"
               "/S or nothing\tshow the picture until the mouse moves or a key or button is pressed\n"
               "/C\topen the settings\n"
               "/P\tend at once (there is no preview)\n"
               "/A\tsay that password protection is not available\n\n"
               "Only the first two characters count, in any case.\n\n"
               "The settings live in the registry under HKEY_CURRENT_USER\\Software\\"
               "VB and VBA Program Settings\\" + settingsName + "\\Settings.";
    }
    return "Usage: marvoscope [/S | /C | /P | /A]\n"
           "       marvoscope --root | --window-id ID | --layer L [--file PATH] [--placement P]\n"
           "                  [--interval N] [--shuffle | --no-shuffle] [--fade | --no-fade]\n"
           "                  [--caption LIST] [--clock | --no-clock] [--motion | --no-motion]\n"
           "                  [--motion-rate N]\n"
           "       marvoscope --help | --version\n"
           "\n"
           "Shows one picture (BMP, JPEG, PNG, GIF, HEIC, AVIF, JPEG XL, WebP, TIFF...), or the\n"
           "pictures of a folder in turn, over every monitor, stretched, whole (on bars of one\n"
           "colour or on a blurred copy of itself) or filling it as the setup dialog's Show tab\n"
           "says; a GIF of three or more frames, an APNG or an animated WebP plays as an\n"
           "animation. A caption (date taken, place, folder, file name) and a clock may be\n"
           "written in corners of the picture, and stills may drift in a slow pan and zoom.\n"
           "\n"
           "Screen-saver switches (any case; only the first two characters count):\n"
           "  /S, or nothing   show the picture until the mouse moves, or a key or button\n"
           "                   is pressed\n"
           "  /C               open the setup dialog\n"
           "  /P               end at once (there is no preview)\n"
           "  /A               say that password protection is not available\n"
           "\n"
           "Hosted mode, for xscreensaver, xsecurelock and other screen-saver hosts:\n"
           "  --root           draw in the window named by XSCREENSAVER_WINDOW, else on the\n"
           "                   root window\n"
           "  --window-id ID   draw in the X window ID (0x hexadecimal or decimal)\n"
           "On Wayland (wlr-layer-shell), in place of a window:\n"
           "  --layer L        background, a desktop background on every output; overlay,\n"
           "                   above all windows until input\n"
           "With any of the three, for this run instead of the stored settings:\n"
           "  --file PATH      show this picture, or the pictures of this folder in turn\n"
           "  --placement P    stretch, fit (whole, with bars), blur (whole, on a darkened\n"
           "                   blurred copy of itself) or fill\n"
           "  --interval N     seconds each picture of a folder stays (2 to 3600)\n"
           "  --shuffle, --no-shuffle\n"
           "                   a folder's pictures in a new order each round, or in name order\n"
           "  --fade, --no-fade\n"
           "                   a one-second cross-fade from one picture to the next, or a cut\n"
           "  --caption LIST   the caption's words, comma-separated, in the order it says them:\n"
           "                   date (taken), place (the nearest town), folder, name (the file's);\n"
           "                   none for no caption\n"
           "  --clock, --no-clock\n"
           "                   the time in the corner opposite the caption, or none\n"
           "  --motion, --no-motion\n"
           "                   still pictures drift in a slow pan and zoom (at most 15 %), or stay\n"
           "  --motion-rate N  new frames a second at most while they drift (1 to 60)\n"
           "\n"
           "  -h, --help       print this help and end\n"
           "  -V, --version    print the version and end\n"
           "\n"
           "Settings: $XDG_CONFIG_HOME/" + settingsName + ".ini (normally\n"
           "~/.config/" + settingsName + ".ini). A shuffled folder's round is remembered in\n"
           "$XDG_CACHE_HOME/marvoscope/ (normally ~/.cache/marvoscope/).\n"
           "More in 'man marvoscope'.\n";
}

std::optional<CliAnswer> AnswerCommandLine(const std::vector<std::string>& arguments, CliSystem system) {
    std::string line;
    for (const std::string& a : arguments) line += a + " ";
    const std::string trimmed = TrimBlanks(line);
    if (trimmed.empty()) return std::nullopt;
    if (trimmed[0] == '/') {
        // A switch that opens no window ends here, before anything asks for a display; a host's
        // options after it still host, as they always did.
        const bool quiet = system == CliSystem::Posix && !SwitchOpensWindow(SwitchOf(trimmed)) &&
                           !ParseHostedRequest(arguments, "");
        return quiet ? std::optional<CliAnswer>(CliAnswer{}) : std::nullopt;
    }

    bool hosted = false;
    const std::string* unknown = nullptr;
    const char* hostedOnly = nullptr;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--") break;
        if (isHelp(a)) return CliAnswer{0, HelpText(system), ""};
        if (isVersion(a)) return CliAnswer{0, std::string("marvoscope ") + MARVOSCOPE_VERSION + "\n", ""};
        bool valueAttached = false;
        if (const HostedOption* option = knownOption(a, valueAttached)) {
            hosted = hosted || option->marksHosted;
            if (!option->marksHosted && !hostedOnly) hostedOnly = option->name;
            // A value may itself start with a dash: it is not an option.
            if (option->takesValue && !valueAttached) ++i;
        } else if (a.size() > 1 && a[0] == '-' && !unknown) {
            unknown = &a;
        }
    }
    // Windows keeps quiet about everything else, as the switches define; hosted mode leaves
    // the rest to the hosted options.
    if (system == CliSystem::Windows || hosted) return std::nullopt;
    if (unknown) return mistake("unrecognised option '" + *unknown + "'");
    if (hostedOnly) return mistake(std::string("--") + hostedOnly + " works only with --root, --window-id or --layer");
    return std::nullopt;
}

}  // namespace mv
