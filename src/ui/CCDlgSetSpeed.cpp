#include "ui/CCDlgSetSpeed.h"

#include "ui/DialogTemplates.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kNotAnInteger = "请输入一个整数。";
constexpr std::string_view kOutOfRange = "请输入一个 %1 至 %2 之间的整数。";
constexpr char kConfirmationFormat[] = "风机转速将被修改为：%d";

// Far beyond any int, so that a long run of digits stays out of range instead of wrapping around.
constexpr std::int64_t kSaturation = std::int64_t{1} << 40;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The whole text as one integer: blanks, an optional sign, decimal digits, blanks. nullopt for anything
// else, the empty text included.
std::optional<std::int64_t> ReadInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t firstDigit = i;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), kSaturation);
    }
    if (i == firstDigit) {
        return std::nullopt;
    }
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    return negative ? -magnitude : magnitude;
}

// The signed read of the edit's text: 0 unless the text reads as a number that fits an int.
int ReadSignedInt(std::string_view text) {
    const auto value = ReadInteger(text);
    if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max()) {
        return 0;
    }
    return static_cast<int>(*value);
}

std::string RangeMessage(int low, int high) {
    std::string message(kOutOfRange);
    message.replace(message.find("%1"), 2, std::to_string(low));
    message.replace(message.find("%2"), 2, std::to_string(high));
    return message;
}

} // namespace

void CCDlgSetSpeed::OnInitDialog(SetSpeedDialogView& view) {
    DoDataExchange(view, false);
}

bool CCDlgSetSpeed::DoDataExchange(SetSpeedDialogView& view, bool saveAndValidate) {
    if (!saveAndValidate) {
        view.SetEditText(std::to_string(m_editValue));
        return true;
    }
    const auto value = ReadInteger(view.GetEditText());
    if (!value) {
        view.ShowMessageBox(std::string(kNotAnInteger), SetSpeedDialogView::BoxIcon::Exclamation);
    } else if (*value < kMinSpeed || *value > kMaxSpeed) {
        view.ShowMessageBox(RangeMessage(kMinSpeed, kMaxSpeed), SetSpeedDialogView::BoxIcon::Exclamation);
    } else {
        m_editValue = static_cast<int>(*value);
        return true;
    }
    view.FocusAndSelectEdit();
    return false;
}

void CCDlgSetSpeed::OnOkClicked(SetSpeedDialogView& view) {
    // The outcome is not looked at: the signed read below decides, and the standard OK validates again.
    DoDataExchange(view, true);
    m_acceptedSpeed = ReadSignedInt(view.GetEditText());
    if (m_acceptedSpeed < kMinSpeed || m_acceptedSpeed > kMaxSpeed) {
        m_acceptedSpeed = 0;
        return;
    }
    m_confirmed = 1;
    char confirmation[sizeof kConfirmationFormat + 16];
    std::snprintf(confirmation, sizeof confirmation, kConfirmationFormat, m_acceptedSpeed);
    view.ShowMessageBox(confirmation, SetSpeedDialogView::BoxIcon::None);
    OnOk(view);
}

void CCDlgSetSpeed::OnOk(SetSpeedDialogView& view) {
    if (DoDataExchange(view, true)) {
        view.EndDialog(kIdOk);
    }
}

void CCDlgSetSpeed::OnCancelClicked(SetSpeedDialogView& view) {
    m_acceptedSpeed = 0;
    m_confirmed = 0;
    view.EndDialog(kIdCancel);
}
