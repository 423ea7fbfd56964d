#pragma once

#include <string>

// What the fan-speed dialog asks of its window; the dialog framework's host carries it out on the real
// controls, a test records it.
class SetSpeedDialogView {
public:
    enum class BoxIcon { None, Exclamation };

    virtual ~SetSpeedDialogView() = default;

    // Edit 1065.
    virtual std::string GetEditText() = 0;
    virtual void SetEditText(const std::string& text) = 0;
    // A modal box with an OK button and the application's title as caption.
    virtual void ShowMessageBox(const std::string& text, BoxIcon icon) = 0;
    // Focus into edit 1065 with its whole text selected.
    virtual void FocusAndSelectEdit() = 0;
    // Ends the modal run with this result; the handler that asked still returns normally.
    virtual void EndDialog(int result) = 0;
};
