#pragma once
// A saver window on a fake platform, with the current directory moved to a temporary folder
// for the scratch file, ready for the frame splitter and the animation to run on it.
#include <gtest/gtest.h>

#include <filesystem>

#include "saver/frmMain.h"
#include "startup/app.h"
#include "support/fake_platform.h"
#include "support/gif_writer.h"

namespace mv::test {

class AnimFixture : public ::testing::Test {
protected:
    void SetUp() override {
        savedDir_ = std::filesystem::current_path();
        std::filesystem::current_path(platform.dir.path());
        // Loading with the show already ended keeps the window's own start-up out of the way.
        app.saverUnloaded = true;
        form().Load();
        app.saverUnloaded = false;
    }
    void TearDown() override { std::filesystem::current_path(savedDir_); }

    frmMain& form() { return *app.mainForm; }
    FakeWindowHost& host() { return *static_cast<FakeWindowHost*>(form().host()); }
    std::string scratch() const { return platform.dir.file("tmp.gif"); }
    bool scratchExists() const { return std::filesystem::exists(scratch()); }

    // Writes a GIF of solid frames (colour index i for frame i) with these delays.
    std::string solidGif(const std::string& name, const std::vector<int>& delaysCs, int w = 16, int h = 12) {
        GifPlan plan;
        plan.width = w;
        plan.height = h;
        plan.globalPalette = basicPalette();
        for (size_t i = 0; i < delaysCs.size(); ++i)
            plan.frames.push_back(solidFrame(w, h, static_cast<uint8_t>(i % 5), delaysCs[i]));
        return platform.dir.write(name, writeGif(plan));
    }

    // The index of the element whose picture Picture1 holds, -1 for none.
    int shownFrame() {
        for (int k = 0; k < form().AnimatedGIF.Count(); ++k)
            if (form().Picture1.Picture() && form().AnimatedGIF(k).Picture() == form().Picture1.Picture()) return k;
        return -1;
    }
    uint32_t paintedCentre() {
        const Bitmap& b = form().backing();
        return b.empty() ? 0 : b.row(b.height / 2)[b.width / 2];
    }

    FakePlatform platform;
    App app{platform};

private:
    std::filesystem::path savedDir_;
};

}  // namespace mv::test
