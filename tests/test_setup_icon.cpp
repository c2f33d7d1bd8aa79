#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ui/app_icon.h"
#include "support/fake_platform.h"

using namespace mv;

TEST(AppIcon, BuiltInBytesAreTheCommittedIconFileWithTwoSixteenColourImages) {
    const auto asset = std::filesystem::path(__FILE__).parent_path().parent_path() / "assets" / "marvoscope.ico";
    ASSERT_TRUE(std::filesystem::exists(asset)) << asset;
    const std::vector<uint8_t>& bytes = appIconFile();
    EXPECT_EQ(test::readFile(asset.string()), bytes);

    ASSERT_GE(bytes.size(), 6u + 32u);
    EXPECT_EQ(bytes[4], 2);  // two images
    for (int i = 0; i < 2; ++i) {
        const uint8_t* entry = &bytes[6 + 16 * i];
        EXPECT_EQ(entry[2], 16) << "colours of image " << i;
        EXPECT_EQ(entry[6], 4) << "bits per pixel of image " << i;
    }
    const auto images = decodeIcon(bytes);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].width, 32);
    EXPECT_EQ(images[0].height, 32);
    EXPECT_EQ(images[1].width, 16);
    EXPECT_EQ(images[1].height, 16);
    // Transparent around the picture, opaque inside it.
    EXPECT_EQ(images[0].row(31)[0] >> 24, 0u);
    EXPECT_EQ(images[0].row(12)[16] >> 24, 0xFFu);
    EXPECT_EQ(images[1].row(6)[8] >> 24, 0xFFu);
}

TEST(AppIcon, DamagedIconFilesGiveNoImagesRatherThanACrash) {
    std::vector<uint8_t> bytes = appIconFile();
    EXPECT_TRUE(decodeIcon({}).empty());
    EXPECT_TRUE(decodeIcon(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 30)).empty());
    auto cut = std::vector<uint8_t>(bytes.begin(), bytes.end() - 100);
    EXPECT_EQ(decodeIcon(cut).size(), 1u);  // the first image is whole, the second is not
    auto huge = bytes;
    huge[6 + 8] = 0xFF;  // first image claims more bytes than the file has
    huge[6 + 11] = 0x7F;
    EXPECT_EQ(decodeIcon(huge).size(), 1u);
    auto many = bytes;
    many[4] = 0xFF;  // more entries than the directory holds
    EXPECT_TRUE(decodeIcon(many).empty());
}
