#include "uikit/UIScreen.h"

#include "graphics/UIGraphics.h"
#include "uikit/UIApplication.h"

namespace {
Ref<UIScreen>& mainScreenSlot()
{
    static Ref<UIScreen> s_screen;
    return s_screen;
}
} // namespace

Ref<UIScreen> UIScreen::mainScreen()
{
    auto& slot = mainScreenSlot();
    if (!slot)
        slot = make<UIScreen>();
    return slot;
}

CGRect UIScreen::applicationFrame() const
{
    CGRect frame = bounds();
    if (!UIApplication::sharedApplication()->isStatusBarHidden()) {
        frame.origin.y += 20;
        frame.size.height -= 20;
    }
    return frame;
}

CGFloat UIScreen::scale() const
{
    return UIGraphicsScreenScale();
}

void UIScreen::resetForTesting()
{
    mainScreenSlot() = nullptr;
}

VX_REGISTER_CLASS(UIScreen);
