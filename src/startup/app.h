#pragma once
// Everything one run of the program owns: the platform, the shared variables and both windows.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/picture/placement.h"
#include "settings/caption_text.h"
#include "startup/hosted.h"
#include "platform/platform.h"

namespace mv {

class frmMain;
class frmSetup2;

struct App {
    explicit App(Platform& platform);
    ~App();

    Platform& platform;

    // Shared variables, zero when the process starts.
    bool saverUnloaded = false;  // the saver window was unloaded once; it never shows again
    int32_t bgColor = 0;         // background colour 0x00BBGGRR
    int16_t mouseSens = 0;       // mouse sensitivity in pixels

    // Drawn inside a window another program owns (see hosted.h), with this picture if given.
    bool hosted = false;
    std::optional<std::string> hostedFile;
    std::optional<PicturePlacement> hostedPlacement;  // instead of the stored placement
    // A folder's slideshow options for the run, instead of the stored ones.
    std::optional<int> hostedInterval;
    std::optional<bool> hostedShuffle, hostedFade;
    // What is written over the pictures for the run, instead of the stored choice.
    std::optional<std::vector<CaptionWord>> hostedCaption;
    std::optional<bool> hostedClock;
    std::optional<bool> hostedMotion;
    std::optional<int> hostedMotionRate;
    HostedLayer hostedLayer = HostedLayer::None;      // on Wayland layer surfaces, one per output
    // The system asked the process to end; nothing new is shown from then on.
    bool endRequested = false;

    std::unique_ptr<frmMain> mainForm;
    std::unique_ptr<frmSetup2> setupForm;
};

}  // namespace mv
