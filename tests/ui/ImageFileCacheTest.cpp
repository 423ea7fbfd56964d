#include "ui/framework/ImageFileCache.h"

#include "Resources.h"
#include "support/FakeUi.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

namespace {

std::string Bytes(zres::ResourceKind kind, int id) {
    const auto bytes = zres::EmbeddedResource(kind, id);
    return std::string(bytes.begin(), bytes.end());
}

class ImageFileCacheTest : public testing::Test {
protected:
    std::string Path() const { return (dir.Path() / "logo.png").string(); }
    void Write(const std::string& bytes) { WriteFileBytes(dir.Path() / "logo.png", bytes); }

    TempDirectory dir;
    FakeUiPlatform ui;
    zui::ImageFileCache cache{ui};
};

TEST_F(ImageFileCacheTest, DecodesAnUnchangedFileOnce) {
    Write(Bytes(zres::ResourceKind::Png, 160));

    const zui::Image first = cache.Load(Path());
    const zui::Image second = cache.Load(Path());

    EXPECT_EQ(ui.FileLoads(), 1);
    EXPECT_FALSE(first.IsNull());
    EXPECT_EQ(first, second);
}

TEST_F(ImageFileCacheTest, DecodesAgainWhenTheFileGetsAnotherTimeOrSize) {
    Write(Bytes(zres::ResourceKind::Png, 160));
    const zui::Image logo = cache.Load(Path());

    // Same size, other content and time.
    std::string other = Bytes(zres::ResourceKind::Png, 160);
    other.back() ^= 1;
    Write(other);
    std::filesystem::last_write_time(dir.Path() / "logo.png",
                                     std::filesystem::last_write_time(dir.Path() / "logo.png") +
                                         std::chrono::seconds(2));
    EXPECT_NE(cache.Load(Path()), logo);
    EXPECT_EQ(ui.FileLoads(), 2);

    Write(Bytes(zres::ResourceKind::Icon, 128));
    EXPECT_EQ(cache.Load(Path()).width, 32);
    EXPECT_EQ(ui.FileLoads(), 3);
}

TEST_F(ImageFileCacheTest, GivesNothingForAMissingOrRemovedFileAndLoadsItWhenItComesBack) {
    EXPECT_TRUE(cache.Load(Path()).IsNull());
    Write(Bytes(zres::ResourceKind::Png, 160));
    EXPECT_FALSE(cache.Load(Path()).IsNull());

    std::filesystem::remove(dir.Path() / "logo.png");
    EXPECT_TRUE(cache.Load(Path()).IsNull());

    Write(Bytes(zres::ResourceKind::Png, 160));
    EXPECT_FALSE(cache.Load(Path()).IsNull());
    EXPECT_EQ(ui.FileLoads(), 2);
}

// A preparation that undoes itself when applied twice shows how often it ran on the image given back.
TEST_F(ImageFileCacheTest, PreparesEachDecodedImageOnce) {
    const auto invert = [](zui::Image& image) {
        for (std::uint8_t& byte : image.pixels) {
            byte = static_cast<std::uint8_t>(~byte);
        }
    };
    zui::ImageFileCache preparing(ui, invert);
    for (const auto& [kind, id] :
         {std::pair{zres::ResourceKind::Png, 160}, std::pair{zres::ResourceKind::Icon, 128}}) {
        Write(Bytes(kind, id));
        zui::Image expected = ui.LoadImageFile(Path());
        invert(expected);
        for (int paint = 0; paint < 3; ++paint) {
            EXPECT_EQ(preparing.Load(Path()), expected) << id << " load " << paint;
        }
    }
}

TEST_F(ImageFileCacheTest, GivesNothingForAFileThatIsNoImage) {
    Write("not a picture");
    EXPECT_TRUE(cache.Load(Path()).IsNull());
}

} // namespace
