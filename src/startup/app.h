#pragma once
// Everything one run of the program owns: the platform, the shared variables and both windows.
#include <cstdint>
#include <memory>

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

    std::unique_ptr<frmMain> mainForm;
    std::unique_ptr<frmSetup2> setupForm;
};

}  // namespace mv
