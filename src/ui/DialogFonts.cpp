#include "ui/DialogFonts.h"

#include "Resources.h"
#include "ui/ResourceIds.h"

void UseCaptionFaceForDialogs(zui::UiPlatform& ui) {
    ui.RegisterPrivateFont(zres::EmbeddedResource(zres::ResourceKind::Font, FontCaptions),
                           kDialogTemplateFace);
}
