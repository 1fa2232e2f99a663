#include "app/widgets/KESTToggleButton.h"

#include "graphics/UIImage.h"

VX_REGISTER_CLASS(KESTToggleButton);

Ref<KESTToggleButton> KESTToggleButton::initWithFrame(CGRect frame)
{
    auto button = makeButton<KESTToggleButton>(UIButtonTypeCustom, frame);
    button->setExclusiveTouch(true);
    button->setContentMode(UIViewContentModeCenter);
    button->setImageForState(UIImage::imageNamed("toggleSelected"), UIControlStateSelected);
    button->setImageForState(UIImage::imageNamed("toggleDeselected"), UIControlStateNormal);
    button->addTarget(button, &KESTToggleButton::checkboxBtnChecked, "checkboxBtnChecked", UIControlEventTouchUpInside);
    return button;
}

void KESTToggleButton::checkboxBtnChecked(const Ref<NSObject>&)
{
    setSelected(!isSelected());
}
