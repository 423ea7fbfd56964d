#pragma once

#include "ui/framework/UiPlatform.h"

#include <string>

namespace zui {

// The application object of the dialog framework: the window system it runs on and its title, which is
// the executable's file name without extension and captions every message box of the application.
class ApplicationBase {
public:
    ApplicationBase(UiPlatform& ui, const std::string& moduleFileName)
        : m_ui(ui), m_title(TitleFromModuleFileName(moduleFileName)) {}
    virtual ~ApplicationBase() = default;
    ApplicationBase(const ApplicationBase&) = delete;
    ApplicationBase& operator=(const ApplicationBase&) = delete;

    // "C:\dir\Zephyrine.exe" and "/opt/zephyrine/Zephyrine" both give "Zephyrine".
    static std::string TitleFromModuleFileName(const std::string& moduleFileName);

    UiPlatform& Ui() const { return m_ui; }
    const std::string& Title() const { return m_title; }

private:
    UiPlatform& m_ui;
    std::string m_title;
};

} // namespace zui
