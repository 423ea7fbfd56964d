#pragma once

#include "ui/SetSpeedDialogView.h"

#include <optional>
#include <string>
#include <vector>

// Stands in for the fan-speed dialog's window: holds the edit's text and records every box, focus change
// and end, in order.
class RecordingSetSpeedView : public SetSpeedDialogView {
public:
    std::string GetEditText() override { return m_editText; }
    void SetEditText(const std::string& text) override { m_editText = text; }
    void ShowMessageBox(const std::string& text, BoxIcon icon) override {
        m_events.push_back((icon == BoxIcon::Exclamation ? "box! " : "box ") + text);
    }
    void FocusAndSelectEdit() override { m_events.push_back("focus edit"); }
    void EndDialog(int result) override {
        m_events.push_back("end " + std::to_string(result));
        m_endResult = result;
    }

    void Type(const std::string& text) { m_editText = text; }
    const std::vector<std::string>& Events() const { return m_events; }
    void ClearEvents() { m_events.clear(); }
    std::optional<int> EndResult() const { return m_endResult; }

private:
    std::string m_editText;
    std::vector<std::string> m_events;
    std::optional<int> m_endResult;
};
