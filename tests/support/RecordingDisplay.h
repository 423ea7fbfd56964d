#pragma once

#include "protocol/ReadingDisplay.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

// Records what the reading pipeline asks of the window, in order.
class RecordingDisplay : public ReadingDisplay {
public:
    void SetLabelText(int controlId, const std::string& text) override {
        std::lock_guard lock(m_mutex);
        m_texts[controlId] = text;
        m_operations.push_back("text " + std::to_string(controlId) + " " + text);
    }
    void RefreshLabelArea(int controlId) override {
        std::lock_guard lock(m_mutex);
        m_operations.push_back("refresh " + std::to_string(controlId));
    }
    void ShowWarning(const std::string& text) override {
        std::lock_guard lock(m_mutex);
        m_warnings.push_back(text);
        m_operations.push_back("warning");
    }

    std::string Text(int controlId) const {
        std::lock_guard lock(m_mutex);
        const auto it = m_texts.find(controlId);
        return it == m_texts.end() ? std::string() : it->second;
    }
    std::vector<std::string> Warnings() const {
        std::lock_guard lock(m_mutex);
        return m_warnings;
    }
    std::vector<std::string> Operations() const {
        std::lock_guard lock(m_mutex);
        return m_operations;
    }
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_warnings.clear();
        m_operations.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::map<int, std::string> m_texts;
    std::vector<std::string> m_warnings;
    std::vector<std::string> m_operations;
};
