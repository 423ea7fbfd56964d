#pragma once

#include "ui/framework/UiPlatform.h"

// The face the dialog templates ask for.
inline constexpr const char* kDialogTemplateFace = "MS Shell Dlg";

// Dialogs take the captions' embedded face, which holds every character of their Chinese texts, under the
// templates' own face name: no such font need be installed, and they read alike on every platform.
void UseCaptionFaceForDialogs(zui::UiPlatform& ui);
