#pragma once

#include "ui/framework/DialogBase.h"

// The About box on template 100: icon 128, the version text and an OK button. The framework's default
// handling is all it needs; its owner runs it modally and ignores the result.
class CAboutDlg final : public zui::DialogBase {
public:
    explicit CAboutDlg(zui::ApplicationBase& app);
};
