#pragma once

#include "protocol/ReadingDisplay.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// The window as the cli has it: the label texts and the warnings of a pass. There is no skin to repaint and
// nobody to close a box, so a warning is only noted.
class CliDisplay final : public ReadingDisplay {
public:
    void SetLabelText(int controlId, const std::string& text) override { m_texts[controlId] = text; }
    void RefreshLabelArea(int) override {}
    void ShowWarning(const std::string& text) override { m_warnings.push_back(text); }

    std::string Text(int controlId) const {
        const auto it = m_texts.find(controlId);
        return it == m_texts.end() ? std::string() : it->second;
    }
    std::vector<std::string> TakeWarnings() { return std::exchange(m_warnings, {}); }

private:
    std::map<int, std::string> m_texts;
    std::vector<std::string> m_warnings;
};
