#include "ui/TemplateDescription.h"

#include <utility>

namespace {

zui::ControlKind KindOf(DialogControlKind kind) {
    switch (kind) {
    case DialogControlKind::PushButton:
        return zui::ControlKind::PushButton;
    case DialogControlKind::StaticIcon:
        return zui::ControlKind::StaticIcon;
    case DialogControlKind::Edit:
        return zui::ControlKind::Edit;
    case DialogControlKind::StaticText:
        break;
    }
    return zui::ControlKind::StaticText;
}

} // namespace

zui::DialogDescription DescribeTemplate(const DialogTemplate& dialogTemplate) {
    zui::DialogDescription description;
    description.resourceId = dialogTemplate.resourceId;
    description.title = dialogTemplate.title;
    description.fontFace = dialogTemplate.fontFace;
    description.fontPoints = dialogTemplate.fontPointSize;
    description.fontWeight = dialogTemplate.fontWeight;
    description.widthDialogUnits = dialogTemplate.width;
    description.heightDialogUnits = dialogTemplate.height;
    description.systemMenu = dialogTemplate.hasSystemMenu;
    description.visible = true;
    for (const DialogControl& control : dialogTemplate.controls) {
        zui::ControlDescription item;
        item.id = control.id;
        item.kind = KindOf(control.kind);
        item.text = control.text;
        item.rect = control.rect;
        item.align = zui::TextAlign::Left;
        item.tabStop = (control.styles & kStyleTabStop) != 0;
        item.noPrefix = (control.styles & kStyleNoPrefix) != 0;
        item.border = (control.styles & kStyleBorder) != 0;
        item.autoHorizontalScroll = (control.styles & kStyleAutoHorizontalScroll) != 0;
        item.defaultButton = (control.styles & kStyleDefaultButton) != 0;
        item.groupStart = (control.styles & kStyleGroup) != 0;
        item.iconId = control.iconResource;
        description.controls.push_back(std::move(item));
    }
    return description;
}
