#pragma once

#include "common/SyncCallQueue.h"
#include "protocol/ReadingDisplay.h"

#include <string>

// The reading thread's side of the window: each operation is carried out by target on the window's thread
// while the calling thread waits. Once the queue is closed the operations return at once and do nothing.
class WindowThreadDisplay final : public ReadingDisplay {
public:
    WindowThreadDisplay(SyncCallQueue& calls, ReadingDisplay& target) : m_calls(calls), m_target(target) {}

    void SetLabelText(int controlId, const std::string& text) override {
        m_calls.Call([&] { m_target.SetLabelText(controlId, text); });
    }
    void RefreshLabelArea(int controlId) override {
        m_calls.Call([&] { m_target.RefreshLabelArea(controlId); });
    }
    void ShowWarning(const std::string& text) override {
        m_calls.Call([&] { m_target.ShowWarning(text); });
    }

private:
    SyncCallQueue& m_calls;
    ReadingDisplay& m_target;
};
