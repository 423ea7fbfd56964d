#include "ui/CAboutDlg.h"

#include "ui/DialogTemplates.h"
#include "ui/framework/TemplateDescription.h"

namespace {

const zui::DialogDescription& AboutDescription() {
    static const zui::DialogDescription kDescription = zui::DescribeTemplate(AboutDialogTemplate());
    return kDescription;
}

} // namespace

CAboutDlg::CAboutDlg(zui::ApplicationBase& app) : zui::DialogBase(app, AboutDescription()) {}
