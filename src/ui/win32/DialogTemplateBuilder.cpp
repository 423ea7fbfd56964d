#include "ui/win32/DialogTemplateBuilder.h"

#include "common/win32/Utf16.h"

#include <windows.h>

#include <cstring>
#include <utility>

namespace {

// The predefined classes as template ordinals.
constexpr std::uint16_t kButtonClass = 0x0080;
constexpr std::uint16_t kEditClass = 0x0081;
constexpr std::uint16_t kStaticClass = 0x0082;
constexpr std::uint16_t kOrdinalMarker = 0xFFFF;
constexpr std::uint16_t kStaticId = 0xFFFF;

// Appends the template's fields in the machine's (little-endian) order. The bytes come in pairs and every
// other field is a WORD or a DWORD, so strings stay WORD-aligned by themselves; only the items need padding.
class TemplateWriter {
public:
    void Byte(std::uint8_t value) { m_bytes.push_back(value); }
    void Word(std::uint16_t value) { Append(&value, sizeof value); }
    void Short(int value) { Word(static_cast<std::uint16_t>(value)); }
    void Dword(std::uint32_t value) { Append(&value, sizeof value); }
    void Text(const std::wstring& text) {
        for (const wchar_t unit : text) {
            Word(static_cast<std::uint16_t>(unit));
        }
        Word(0);
    }
    void Ordinal(int value) {
        Word(kOrdinalMarker);
        Word(static_cast<std::uint16_t>(value));
    }
    void AlignToDword() { m_bytes.resize((m_bytes.size() + 3) / 4 * 4, 0); }
    std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

private:
    void Append(const void* value, std::size_t size) {
        const std::size_t at = m_bytes.size();
        m_bytes.resize(at + size);
        std::memcpy(m_bytes.data() + at, value, size);
    }
    std::vector<std::uint8_t> m_bytes;
};

struct ItemClass {
    std::uint16_t ordinal;
    DWORD style;
};

ItemClass ClassOf(const zui::ControlDescription& control) {
    switch (control.kind) {
    case zui::ControlKind::StaticIcon:
        return {kStaticClass, SS_ICON};
    case zui::ControlKind::PushButton:
        return {kButtonClass, control.defaultButton ? DWORD{BS_DEFPUSHBUTTON} : DWORD{BS_PUSHBUTTON}};
    case zui::ControlKind::ImageButton:
        return {kButtonClass, BS_OWNERDRAW};
    case zui::ControlKind::Edit:
        return {kEditClass, ES_LEFT | (control.autoHorizontalScroll ? DWORD{ES_AUTOHSCROLL} : 0) |
                                (control.border ? DWORD{WS_BORDER} : 0)};
    case zui::ControlKind::StaticText:
        break;
    }
    return {kStaticClass, (control.align == zui::TextAlign::Center ? DWORD{SS_CENTER} : DWORD{SS_LEFT}) |
                              (control.noPrefix ? DWORD{SS_NOPREFIX} : 0)};
}

void WriteItem(TemplateWriter& writer, const zui::ControlDescription& control) {
    const ItemClass itemClass = ClassOf(control);
    const DWORD style = WS_CHILD | WS_VISIBLE | itemClass.style | (control.tabStop ? DWORD{WS_TABSTOP} : 0) |
                        (control.groupStart ? DWORD{WS_GROUP} : 0);
    writer.AlignToDword();
    writer.Dword(0); // help ID
    writer.Dword(control.transparent ? DWORD{WS_EX_TRANSPARENT} : 0);
    writer.Dword(style);
    writer.Short(control.rect.x);
    writer.Short(control.rect.y);
    writer.Short(control.rect.width);
    writer.Short(control.rect.height);
    writer.Dword(control.id == zui::kNoControlId ? kStaticId : static_cast<std::uint32_t>(control.id));
    writer.Ordinal(itemClass.ordinal);
    if (control.kind == zui::ControlKind::StaticIcon) {
        writer.Ordinal(control.iconId);
    } else {
        writer.Text(Utf8ToUtf16(control.text));
    }
    writer.Word(0); // no creation data
}

} // namespace

std::vector<std::uint8_t> BuildDialogTemplate(const zui::DialogDescription& description,
                                              const std::wstring& fontFace) {
    const DWORD style =
        DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | (description.systemMenu ? DWORD{WS_SYSMENU} : 0);
    TemplateWriter writer;
    writer.Word(1);              // dlgVer
    writer.Word(kOrdinalMarker); // signature: the extended template
    writer.Dword(0);             // help ID
    writer.Dword(description.taskbarButton ? DWORD{WS_EX_APPWINDOW} : 0);
    writer.Dword(style);
    writer.Word(static_cast<std::uint16_t>(description.controls.size()));
    writer.Short(0); // x and y: the window places itself
    writer.Short(0);
    writer.Short(description.widthDialogUnits);
    writer.Short(description.heightDialogUnits);
    writer.Word(0); // no menu
    writer.Word(0); // the dialog class
    writer.Text(Utf8ToUtf16(description.title));
    writer.Short(description.fontPoints);
    writer.Short(description.fontWeight);
    writer.Byte(0); // not italic
    writer.Byte(DEFAULT_CHARSET);
    writer.Text(fontFace);
    for (const zui::ControlDescription& control : description.controls) {
        WriteItem(writer, control);
    }
    return writer.Take();
}
