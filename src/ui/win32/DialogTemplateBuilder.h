#pragma once

#include "ui/framework/DialogDescription.h"

#include <cstdint>
#include <string>
#include <vector>

// A dialog description as the in-memory DLGTEMPLATEEX that CreateDialogIndirectParamW takes: a modal frame
// that is never WS_VISIBLE (description.visible tells the framework whether to show the window once its
// initialisation is done, and the framework shows it itself), the dialog font in fontFace, and one item per
// control in the description's order, which is the tab order. Statics without an ID get 0xFFFF (IDC_STATIC).
//
// Windows wants the template DWORD-aligned; the vector's storage comes from operator new, which aligns it
// for every fundamental type, so data() can be passed as it is.
std::vector<std::uint8_t> BuildDialogTemplate(const zui::DialogDescription& description,
                                              const std::wstring& fontFace);
