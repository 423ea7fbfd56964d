#pragma once

#include "ui/DialogTemplates.h"
#include "ui/framework/DialogDescription.h"

namespace zui {

// A resource template (ui/DialogTemplates.h) as the framework's backends create it: shown when its
// initialisation ends, statics left-aligned (SS_LEFT, the static style that has no bit of its own).
DialogDescription DescribeTemplate(const DialogTemplate& dialogTemplate);

} // namespace zui
