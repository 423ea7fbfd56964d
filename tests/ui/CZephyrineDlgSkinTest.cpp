#include "ui/CZephyrineDlg.h"

#include "MainWindowFixture.h"
#include "Resources.h"
#include "support/CurrentDirectory.h"
#include "ui/ControlTable.h"
#include "ui/Geometry.h"
#include "ui/ResourceIds.h"
#include "ui/framework/DialogCodes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace {

std::string ResourceBytes(zres::ResourceKind kind, int id) {
    const auto bytes = zres::EmbeddedResource(kind, id);
    return std::string(bytes.begin(), bytes.end());
}

class MainWindowSkin : public MainWindowFixture {
protected:
    const zui::FontSpec& FontOf(FakeDialogHost& host, int id) {
        const zui::FontId font = host.CtlColorOf(id).font;
        EXPECT_GT(font, 0) << id;
        return host.Fonts().at(static_cast<std::size_t>(font - 1));
    }
};

TEST_F(MainWindowSkin, MeasuresTheReferenceClientAndTheDisplaysDpi) {
    ui.dpiX = 120;
    Run([&](FakeDialogHost&, CZephyrineDlg& dlg) {
        EXPECT_EQ(dlg.ClientRect, (zui::Rect{0, 0, 804, 394}));
        EXPECT_EQ(dlg.DpiX, 120);
    });
    ui.dpiX.reset();
    Run([&](FakeDialogHost&, CZephyrineDlg& dlg) { EXPECT_EQ(dlg.DpiX, 96); });
}

TEST_F(MainWindowSkin, RegistersBothFontsAndGivesEachLabelItsFont) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        EXPECT_EQ(ui.ResolveFace("300-CAI978"), FakeUiPlatform::FamilyOfFont(159));
        EXPECT_EQ(ui.ResolveFace("Source Han Sans K Normal"), FakeUiPlatform::FamilyOfFont(183));
        using zui::FontSizeUnit;
        const std::map<int, zui::FontSpec> expected{
            {1060, {"Source Han Sans K Normal", FontSizeUnit::CellHeightPixels, 16, 600}},
            {1085, {"Source Han Sans K Normal", FontSizeUnit::PointTenths, 78, 400}},
            {1079, {"Source Han Sans K Normal", FontSizeUnit::PointTenths, 100, 400}},
            {1088, {"Source Han Sans K Normal", FontSizeUnit::PointTenths, 59, 400}},
            {1087, {"Source Han Sans K Normal", FontSizeUnit::PointTenths, 54, 400}},
            {1066, {"300-CAI978", FontSizeUnit::PointTenths, 234, 400}},
        };
        for (const auto& [id, font] : expected) {
            EXPECT_EQ(FontOf(host, id), font) << id;
        }
        EXPECT_EQ(host.Fonts().size(), 33u);
        EXPECT_TRUE(ui.Boxes().empty());
    });
}

TEST_F(MainWindowSkin, SaysSoWhenAFontCannotBeRegisteredAndGoesOn) {
    ui.failingFonts = {159};
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        ASSERT_EQ(ui.Boxes().size(), 1u);
        EXPECT_EQ(ui.Boxes()[0].text, "字体加载失败！");
        EXPECT_EQ(ui.Boxes()[0].icon, zui::MessageBoxIcon::Exclamation);
        EXPECT_EQ(ui.Boxes()[0].buttons, zui::MessageBoxButtons::Ok);
        EXPECT_EQ(FontOf(host, 1035).face, "300-CAI978");
        EXPECT_EQ(ui.ResolveFace("300-CAI978"), "300-CAI978");
    });
}

TEST_F(MainWindowSkin, WritesTheCaptionTexts) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        for (const CaptionText& caption : control_table::Captions()) {
            EXPECT_EQ(host.Control(caption.id).text, caption.text) << caption.id;
        }
        EXPECT_EQ(host.Control(1082).text, "环境温度(℃)");
    });
}

TEST_F(MainWindowSkin, LaysOutTheReferenceClientWithTheButtonsAtTheirImagesSizes) {
    hid.AddSupply();
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        EXPECT_EQ(host.Control(1078).rect, (zui::Rect{359, 234, 454, 258}));
        EXPECT_EQ(host.Control(1087).rect, (zui::Rect{340, 21, 806, 40}));
        EXPECT_EQ(host.Control(LabelRail12V).rect, (zui::Rect{476, 135, 560, 165}));
        EXPECT_EQ(host.Control(IdEcoButton).rect, (zui::Rect{441, 52, 441 + 125, 52 + 35}));         // 152
        EXPECT_EQ(host.Control(IdTempControlButton).rect, (zui::Rect{590, 52, 590 + 124, 52 + 34})); // 155
        EXPECT_EQ(host.Control(IdClearEnergyButton).rect, (zui::Rect{214, 329, 214 + 64, 329 + 26}));
        // Its image came before the layout, which gives it the layout's 63 x 25.
        EXPECT_EQ(host.Control(IdSetSpeedButton).rect, (zui::Rect{655, 329, 718, 354}));
    });
}

TEST_F(MainWindowSkin, ScalesPlacesAndFontsOnAFullHdScreen) {
    ui.screen = {1920, 1080};
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        EXPECT_EQ(dlg.ClientRect, (zui::Rect{0, 0, 1132, 565}));
        EXPECT_EQ(host.Control(LabelInputVoltage).rect, (zui::Rect{111, 193, 229, 236}));
        EXPECT_EQ(host.Control(IdEcoButton).rect.TopLeft(), (zui::Point{620, 76}));
        EXPECT_EQ(FontOf(host, 1062).size, 20);
        EXPECT_EQ(FontOf(host, 1070).size, 98);
        EXPECT_EQ(FontOf(host, 1081).size, 126);
        EXPECT_EQ(FontOf(host, LabelEnergy).size, 299);
    });
}

TEST_F(MainWindowSkin, ColoursCaptionsBarsAndReadingsAndPaintsThemTransparent) {
    Run([&](FakeDialogHost& host, CZephyrineDlg& dlg) {
        EXPECT_EQ(host.CtlColorOf(1075).text, (zui::Rgb{90, 90, 90}));
        EXPECT_EQ(host.CtlColorOf(1087).text, (zui::Rgb{255, 255, 255}));
        EXPECT_TRUE(host.CtlColorOf(1086).custom);
        EXPECT_FALSE(host.CtlColorOf(IdEcoButton).custom);
        for (const int flag : {0, 1, 2, -1}) {
            dlg.ReadingFlags.Rail3V3OutOfBand = flag;
            dlg.ReadingFlags.InputPowerAlarm = flag;
            const zui::Rgb expected = flag == 1 ? zui::Rgb{255, 0, 0} : zui::Rgb{0, 0, 0};
            EXPECT_EQ(host.CtlColorOf(LabelRail3V3).text, expected) << flag;
            EXPECT_EQ(host.CtlColorOf(LabelInputPower).text, expected) << flag;
            EXPECT_EQ(host.CtlColorOf(LabelInputCurrent).text, (zui::Rgb{0, 0, 0}));
            EXPECT_TRUE(host.CtlColorOf(LabelRail3V3).custom);
        }
    });
}

TEST_F(MainWindowSkin, PaintsTheStretchedBackgroundAndTheLogoOfTheCurrentDirectoryAsItIsNow) {
    const CurrentDirectory inFixture(dir.Path());
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        const zui::Image background =
            ui.DecodeImage(zres::EmbeddedResource(zres::ResourceKind::Bitmap, BitmapBackground));
        auto operations = host.Paint();
        ASSERT_EQ(operations.size(), 1u);
        EXPECT_EQ(operations[0].kind, PaintOperation::Kind::Stretch);
        EXPECT_EQ(operations[0].image, background);
        EXPECT_EQ(operations[0].dest, (zui::Rect{0, 0, 804, 394}));

        WriteFileBytes(dir.Path() / "logo.png", ResourceBytes(zres::ResourceKind::Png, 160));
        host.Paint();
        operations = host.Paint();
        ASSERT_EQ(operations.size(), 2u);
        EXPECT_EQ(operations[1].kind, PaintOperation::Kind::AlphaBlend);
        EXPECT_EQ(operations[1].at, (zui::Point{80, 20}));
        zui::Image premultiplied = ui.DecodeImage(zres::EmbeddedResource(zres::ResourceKind::Png, 160));
        CZephyrineDlg::PremultiplyAlpha(premultiplied);
        EXPECT_EQ(operations[1].image, premultiplied);
        EXPECT_EQ(ui.FileLoads(), 1);

        WriteFileBytes(dir.Path() / "logo.png", ResourceBytes(zres::ResourceKind::Icon, 128));
        operations = host.Paint();
        ASSERT_EQ(operations.size(), 2u);
        EXPECT_EQ(operations[1].image.GetSize(), (zui::Size{32, 32}));

        std::filesystem::remove(dir.Path() / "logo.png");
        EXPECT_EQ(host.Paint().size(), 1u);
    });
}

TEST_F(MainWindowSkin, DrawsOnlyTheIconWhenMinimised) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        host.SystemCommand(zui::SystemCommandMinimize);
        const auto operations = host.Paint();
        ASSERT_EQ(operations.size(), 1u);
        EXPECT_EQ(operations[0].kind, PaintOperation::Kind::Icon);
        EXPECT_EQ(operations[0].at, (zui::Point{393, 189}));
    });
}

TEST_F(MainWindowSkin, PaintsTheBackgroundItselfWhenTheDisconnectedLookFindsTheWindowStillUnpainted) {
    Run([&](FakeDialogHost& host, CZephyrineDlg&) {
        // The start-up look ran while the window was hidden, so nothing had been painted yet.
        ASSERT_EQ(host.DirectPaints().size(), 1u);
        EXPECT_EQ(host.DirectPaints()[0].kind, PaintOperation::Kind::Stretch);
        EXPECT_EQ(host.DirectPaints()[0].dest, (zui::Rect{0, 0, 804, 394}));
        // Shown and painted since, a later disconnected look finds nothing left to paint.
        host.UpdateWindow();
        host.DeviceChange(zui::DeviceNodesChanged);
        EXPECT_EQ(host.DirectPaints().size(), 1u);
    });
}

TEST(PremultiplyAlpha, ScalesEachColourByAlphaOnlyInImagesWithAlpha) {
    struct Case {
        std::vector<std::uint8_t> before;
        std::vector<std::uint8_t> after;
    };
    const Case cases[] = {
        {{200, 100, 50, 128}, {100, 50, 25, 128}},
        {{200, 100, 50, 0}, {0, 0, 0, 0}},
        {{200, 100, 50, 255}, {200, 100, 50, 255}},
    };
    for (const Case& c : cases) {
        zui::Image image{1, 1, 32, true, c.before};
        CZephyrineDlg::PremultiplyAlpha(image);
        EXPECT_EQ(image.pixels, c.after);
    }
    zui::Image opaque{1, 1, 24, false, {200, 100, 50, 128}};
    CZephyrineDlg::PremultiplyAlpha(opaque);
    EXPECT_EQ(opaque.pixels, (std::vector<std::uint8_t>{200, 100, 50, 128}));
    zui::Image empty;
    CZephyrineDlg::PremultiplyAlpha(empty);
    EXPECT_TRUE(empty.IsNull());
}

} // namespace
