#include "ui/CAboutDlg.h"

#include "ui/DialogTemplates.h"
#include "ui/TemplateDescription.h"

namespace {

const zui::DialogDescription& AboutDescription() {
    static const zui::DialogDescription kDescription = DescribeTemplate(AboutDialogTemplate());
    return kDescription;
}

} // namespace

CAboutDlg::CAboutDlg(zui::ApplicationBase& app) : zui::DialogBase(app, AboutDescription()) {}
