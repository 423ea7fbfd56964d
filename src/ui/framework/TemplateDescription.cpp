#include "ui/framework/TemplateDescription.h"

#include <utility>

namespace zui {

namespace {

ControlKind KindOf(DialogControlKind kind) {
    switch (kind) {
    case DialogControlKind::PushButton:
        return ControlKind::PushButton;
    case DialogControlKind::StaticIcon:
        return ControlKind::StaticIcon;
    case DialogControlKind::Edit:
        return ControlKind::Edit;
    case DialogControlKind::StaticText:
        break;
    }
    return ControlKind::StaticText;
}

} // namespace

DialogDescription DescribeTemplate(const DialogTemplate& dialogTemplate) {
    DialogDescription description;
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
        ControlDescription item;
        item.id = control.id;
        item.kind = KindOf(control.kind);
        item.text = control.text;
        item.rect = control.rect;
        item.align = TextAlign::Left;
        item.tabStop = (control.styles & kStyleTabStop) != 0;
        item.defaultButton = (control.styles & kStyleDefaultButton) != 0;
        item.groupStart = (control.styles & kStyleGroup) != 0;
        item.iconId = control.iconResource;
        description.controls.push_back(std::move(item));
    }
    return description;
}

} // namespace zui
