#pragma once
// The setup dialog "Make a Marvoscope".
#include "../platform/form.h"

namespace mv {

struct App;

class frmSetup2 : public Form {
public:
    static constexpr const char* kCaption = "Make a Marvoscope";

    explicit frmSetup2(App& app);
    App& app() const { return app_; }

    void Form_Load() override;
    void Form_Unload(int16_t& cancel) override;

private:
    App& app_;
};

}  // namespace mv
