#include "ui/win32/DialogTemplateBuilder.h"

#include "common/win32/Utf16.h"
#include "support/CaseName.h"
#include "ui/ControlTable.h"
#include "ui/TemplateDescription.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

struct DialogCase {
    const char* name;
    zui::DialogDescription (*describe)();
};

INT_PTR CALLBACK IgnoringProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Each of x, y, width and height scaled on its own, as the dialog manager scales a control's x, y, cx and
// cy: MapDialogRect scales its four fields independently, so they may carry a size as well as an edge.
RECT PixelsOf(HWND dialog, const zui::DialogUnitRect& rect) {
    RECT scaled{rect.x, rect.y, rect.width, rect.height};
    MapDialogRect(dialog, &scaled);
    return scaled;
}

bool Has(DWORD style, DWORD bits) {
    return (style & bits) == bits;
}

void ExpectKindStyle(const zui::ControlDescription& control, DWORD style, DWORD exStyle) {
    switch (control.kind) {
    case zui::ControlKind::StaticText:
        EXPECT_EQ(style & SS_TYPEMASK,
                  DWORD{control.align == zui::TextAlign::Center ? DWORD{SS_CENTER} : DWORD{SS_LEFT}});
        EXPECT_EQ(Has(style, SS_NOPREFIX), control.noPrefix);
        break;
    case zui::ControlKind::StaticIcon:
        EXPECT_EQ(style & SS_TYPEMASK, DWORD{SS_ICON});
        break;
    case zui::ControlKind::PushButton:
        EXPECT_EQ(style & BS_TYPEMASK,
                  control.defaultButton ? DWORD{BS_DEFPUSHBUTTON} : DWORD{BS_PUSHBUTTON});
        break;
    case zui::ControlKind::ImageButton:
        EXPECT_EQ(style & BS_TYPEMASK, DWORD{BS_OWNERDRAW});
        break;
    case zui::ControlKind::Edit:
        EXPECT_EQ(style & (ES_CENTER | ES_RIGHT | ES_MULTILINE), DWORD{ES_LEFT});
        EXPECT_EQ(Has(style, ES_AUTOHSCROLL), control.autoHorizontalScroll);
        // The edit control trades WS_BORDER for the sunken WS_EX_CLIENTEDGE when it is created.
        EXPECT_EQ(Has(style, WS_BORDER) || Has(exStyle, WS_EX_CLIENTEDGE), control.border);
        break;
    }
}

const wchar_t* ClassOf(zui::ControlKind kind) {
    switch (kind) {
    case zui::ControlKind::PushButton:
    case zui::ControlKind::ImageButton:
        return L"Button";
    case zui::ControlKind::Edit:
        return L"Edit";
    case zui::ControlKind::StaticText:
    case zui::ControlKind::StaticIcon:
        break;
    }
    return L"Static";
}

class DialogTemplateTable : public testing::TestWithParam<DialogCase> {
protected:
    void SetUp() override {
        m_bytes = BuildDialogTemplate(m_description, L"MS Shell Dlg");
        // The suite's executable holds no icon 128, so the About box's icon keeps its template size instead
        // of taking the icon's.
        m_dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                              reinterpret_cast<LPCDLGTEMPLATEW>(m_bytes.data()), nullptr,
                                              IgnoringProc, 0);
        ASSERT_NE(m_dialog, nullptr) << GetLastError();
    }
    void TearDown() override {
        if (m_dialog != nullptr) {
            DestroyWindow(m_dialog);
        }
    }

    const zui::DialogDescription m_description = GetParam().describe();
    std::vector<std::uint8_t> m_bytes;
    HWND m_dialog = nullptr;
};

TEST_P(DialogTemplateTable, FrameIsAModalPopupThatTheFrameworkShows) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(m_dialog, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(m_dialog, GWL_EXSTYLE));
    EXPECT_TRUE(Has(style, WS_POPUP | WS_CAPTION | DS_MODALFRAME));
    EXPECT_EQ(Has(style, WS_SYSMENU), m_description.systemMenu);
    EXPECT_EQ(style & (WS_VISIBLE | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
    EXPECT_FALSE(IsWindowVisible(m_dialog));
    EXPECT_EQ(Has(exStyle, WS_EX_APPWINDOW), m_description.taskbarButton);
    EXPECT_EQ(TextOf(m_dialog), Utf8ToUtf16(m_description.title));

    RECT client{};
    GetClientRect(m_dialog, &client);
    const RECT expected =
        PixelsOf(m_dialog, {0, 0, m_description.widthDialogUnits, m_description.heightDialogUnits});
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
}

TEST_P(DialogTemplateTable, FontIsTheTemplatesFaceSizeAndWeight) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(m_dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont{};
    ASSERT_NE(GetObjectW(font, sizeof logFont, &logFont), 0);
    const HDC screen = GetDC(nullptr);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_STREQ(logFont.lfFaceName, L"MS Shell Dlg");
    EXPECT_EQ(logFont.lfHeight, -MulDiv(m_description.fontPoints, dpiY, 72));
    EXPECT_EQ(logFont.lfWeight, m_description.fontWeight);
    EXPECT_EQ(logFont.lfItalic, 0);
    EXPECT_EQ(logFont.lfCharSet, DEFAULT_CHARSET);
}

TEST_P(DialogTemplateTable, ControlsComeInOrderWithTheirIdsClassesStylesAndPlaces) {
    HWND child = GetWindow(m_dialog, GW_CHILD);
    for (const zui::ControlDescription& control : m_description.controls) {
        SCOPED_TRACE(testing::Message() << "control " << control.id << " \"" << control.text << '"');
        ASSERT_NE(child, nullptr);
        if (control.id == zui::kNoControlId) {
            EXPECT_EQ(GetDlgCtrlID(child), 0xFFFF);
        } else {
            EXPECT_EQ(GetDlgItem(m_dialog, control.id), child);
        }
        EXPECT_EQ(ClassNameOf(child), ClassOf(control.kind));

        const DWORD style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE));
        EXPECT_TRUE(Has(style, WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(Has(style, WS_TABSTOP), control.tabStop);
        EXPECT_EQ(Has(style, WS_GROUP), control.groupStart);
        EXPECT_EQ(Has(exStyle, WS_EX_TRANSPARENT), control.transparent);
        ExpectKindStyle(control, style, exStyle);
        if (control.kind != zui::ControlKind::StaticIcon) {
            EXPECT_EQ(TextOf(child), Utf8ToUtf16(control.text));
        }

        RECT placed{};
        GetWindowRect(child, &placed);
        MapWindowPoints(HWND_DESKTOP, m_dialog, reinterpret_cast<POINT*>(&placed), 2);
        const RECT expected = PixelsOf(m_dialog, control.rect);
        EXPECT_EQ(placed.left, expected.left);
        EXPECT_EQ(placed.top, expected.top);
        // An icon static takes the size of its icon, which this suite's resources hold.
        if (control.kind != zui::ControlKind::StaticIcon) {
            EXPECT_EQ(placed.right - placed.left, expected.right);
            EXPECT_EQ(placed.bottom - placed.top, expected.bottom);
        } else {
            EXPECT_EQ(placed.right - placed.left, GetSystemMetrics(SM_CXICON));
            EXPECT_EQ(placed.bottom - placed.top, GetSystemMetrics(SM_CYICON));
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more windows than controls";
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, DialogTemplateTable,
    testing::Values(DialogCase{"SetSpeed", [] { return DescribeTemplate(SetSpeedDialogTemplate()); }},
                    DialogCase{"About", [] { return DescribeTemplate(AboutDialogTemplate()); }},
                    DialogCase{"MainWindow", [] { return control_table::MainWindowDescription(); }}),
    CaseName());

} // namespace
