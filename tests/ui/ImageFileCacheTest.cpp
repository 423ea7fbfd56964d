#include "ui/framework/ImageFileCache.h"

#include "Resources.h"
#include "support/FakeUi.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

TEST_F(ImageFileCacheTest, GivesNothingForAFileThatIsNoImage) {
    Write("not a picture");
    EXPECT_TRUE(cache.Load(Path()).IsNull());
}

} // namespace
