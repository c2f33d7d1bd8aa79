#include "startup/app.h"

#include "saver/frmMain.h"
#include "setup/frmSetup2.h"

namespace mv {

App::App(Platform& p) : platform(p) {
    mainForm = std::make_unique<frmMain>(*this);
    setupForm = std::make_unique<frmSetup2>(*this);
}

App::~App() = default;

}  // namespace mv
