#include "ui/CZephyrineDlg.h"
#include "ui/ControlTable.h"
#include "ui/Geometry.h"
#include "ui/ResourceIds.h"

#include "Resources.h"

#include <array>

void CZephyrineDlg::InitScreenMetrics() {
    DpiX = 96;
    ClientRect = Host().ClientRect();
    if (const auto dpi = Host().LogicalDpiX()) {
        DpiX = *dpi;
    }
    ReadingFlags.Clear();
    Poll.ResetForStartup();
}

void CZephyrineDlg::InitFontsAndCaptions() {
    zui::UiPlatform& ui = App().Ui();
    for (const auto& [id, face] : {std::pair{FontReadings, control_table::kReadingFace},
                                   std::pair{FontCaptions, control_table::kCaptionFace}}) {
        if (!ui.RegisterPrivateFont(zres::EmbeddedResource(zres::ResourceKind::Font, id), face)) {
            ShowMessageBox(kFontErrorText, zui::MessageBoxButtons::Ok, zui::MessageBoxIcon::Exclamation);
        }
    }
    const float screenFactor = geometry::ScreenFactor(ui.PrimaryScreenSize().width);
    for (const FontRow& row : control_table::Fonts()) {
        const int size =
            geometry::FontSize(row.baseNumber, row.subtractTenths, DpiX, ClientRect.Width(), screenFactor);
        for (const int id : row.controls) {
            LabelFonts[id] = Host().CreateLabelFont({row.face, row.unit, size, row.weight});
        }
    }
    for (const CaptionText& caption : control_table::Captions()) {
        Host().SetControlText(caption.id, caption.text);
    }
}

void CZephyrineDlg::LayoutControls() {
    const zui::Size client = ClientRect.GetSize();
    for (const ControlInfo& control : control_table::Controls()) {
        Host().MoveControl(control.id, geometry::ScaleReferenceRect(control.reference, client), true);
    }
    Host().UpdateWindow();
}

void CZephyrineDlg::OnSize() {
    zui::DialogBase::OnSize();
    const zui::Size size = geometry::ProportionalWindowSize(App().Ui().PrimaryScreenSize());
    Host().MoveWindow(zui::Rect::FromPointSize({0, 0}, size), true);
}

void CZephyrineDlg::OnPaint(zui::PaintContext& dc) {
    const zui::Rect client = Host().ClientRect();
    if (Host().IsMinimized()) {
        dc.DrawIconImage(MainIcon,
                         geometry::MinimisedIconPosition(client.GetSize(), App().Ui().SystemIconSize()));
        return;
    }
    dc.StretchImage(m_images.Bitmap(BitmapBackground), client);
    const zui::Image& logo = m_logoFile.Load(kLogoFile);
    if (logo.IsNull()) {
        return;
    }
    if (logo.hasAlpha) {
        dc.AlphaBlendImage(logo, kLogoPosition);
    } else {
        dc.CopyImage(logo, kLogoPosition);
    }
}

void CZephyrineDlg::PremultiplyAlpha(zui::Image& image) {
    if (image.IsNull() || !image.hasAlpha || image.bitsPerPixel != 32) {
        return;
    }
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* pixel = image.PixelAt(x, y);
            const int alpha = pixel[3];
            for (int channel = 0; channel < 3; ++channel) {
                pixel[channel] = static_cast<std::uint8_t>(pixel[channel] * alpha / 255);
            }
        }
    }
}

zui::CtlColor CZephyrineDlg::OnCtlColor(int controlId) {
    const zui::CtlColor fallback = zui::DialogBase::OnCtlColor(controlId);
    const ControlInfo* control = control_table::Find(controlId);
    if (control == nullptr || control->colour == TextColourRule::None) {
        return fallback;
    }
    const auto* flag = ReadingFlags.FlagOfLabel(controlId);
    const auto font = LabelFonts.find(controlId);
    return {true, control_table::TextColour(control->colour, flag != nullptr ? flag->load() : 0),
            font != LabelFonts.end() ? font->second : 0};
}

void CZephyrineDlg::ApplyModeLook() {
    zui::DialogHost& host = Host();
    if (HidChannel.Disconnected() != 0) {
        host.ShowControl(IdSetSpeedButton, false);
        return;
    }
    if (Poll.ControlMode != Eco && Poll.ControlMode != TempControl) {
        return;
    }
    const bool eco = Poll.ControlMode == Eco;
    host.ShowControl(IdSetSpeedButton, !eco);
    const int ecoBitmap = eco ? BitmapEcoSelected : BitmapEcoUnselected;
    const int tempControlBitmap = eco ? BitmapTempControlUnselected : BitmapTempControlSelected;
    // Every 500 ms: a look the buttons show already is neither set nor painted again.
    if (EcoButton.BitmapId() == ecoBitmap && TempControlButton.BitmapId() == tempControlBitmap) {
        return;
    }
    SetButtonImage(EcoButton, ecoBitmap);
    SetButtonImage(TempControlButton, tempControlBitmap);
    host.UpdateWindow();
    host.SendPaintMessage();
}

void CZephyrineDlg::SetButtonImage(zui::BitmapButton& button, int bitmapId) {
    button.SetBitmapId(bitmapId);
    const zui::Image& image = m_images.Bitmap(bitmapId);
    Host().SetControlImage(button.ControlId(), image);
    Host().ResizeControl(button.ControlId(), image.GetSize());
    Host().InvalidateControl(button.ControlId(), true);
}
