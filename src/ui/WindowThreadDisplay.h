#pragma once

#include "common/SyncCallQueue.h"
#include "protocol/ReadingDisplay.h"

#include <string>
#include <vector>

// The reading thread's side of the window. The texts and refreshes of a pass are held until EndReadings (or
// a warning) and then carried out by target on the window's thread, in their order, while the calling thread
// waits: each crossing costs both threads a wake-up, and a pass needs only one. Once the queue is closed the
// operations return at once and do nothing.
class WindowThreadDisplay final : public ReadingDisplay {
public:
    WindowThreadDisplay(SyncCallQueue& calls, ReadingDisplay& target) : m_calls(calls), m_target(target) {}

    void SetLabelText(int controlId, const std::string& text) override {
        m_held.push_back({controlId, text, false});
    }
    void RefreshLabelArea(int controlId) override { m_held.push_back({controlId, {}, true}); }
    void EndReadings() override { CarryOutHeld(); }
    void ShowWarning(const std::string& text) override {
        CarryOutHeld();
        m_calls.Call([&] { m_target.ShowWarning(text); });
    }

private:
    struct LabelOperation {
        int controlId;
        std::string text;
        bool refresh;
    };

    void CarryOutHeld() {
        if (m_held.empty()) {
            return;
        }
        m_calls.Call([&] {
            for (const LabelOperation& operation : m_held) {
                if (operation.refresh) {
                    m_target.RefreshLabelArea(operation.controlId);
                } else {
                    m_target.SetLabelText(operation.controlId, operation.text);
                }
            }
        });
        m_held.clear();
    }

    SyncCallQueue& m_calls;
    ReadingDisplay& m_target;
    std::vector<LabelOperation> m_held;
};
