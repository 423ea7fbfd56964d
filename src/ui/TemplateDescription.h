#pragma once

#include "ui/DialogTemplates.h"
#include "ui/framework/DialogDescription.h"

// A resource template (ui/DialogTemplates.h) as the dialog framework describes it: shown when its
// initialisation ends, statics left-aligned (SS_LEFT, the static style that has no bit of its own).
zui::DialogDescription DescribeTemplate(const DialogTemplate& dialogTemplate);
