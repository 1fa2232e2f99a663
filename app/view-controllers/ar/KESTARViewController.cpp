#include "app/view-controllers/ar/KESTARViewController.h"

#include "foundation/NSBundle.h"
#include "graphics/UIColor.h"
#include "uikit/UIButton.h"

VX_REGISTER_CLASS(KESTARViewController);

void KESTARViewController::viewDidLoad()
{
    KESTBaseCustomViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::blackColor());
    m_closeButton = UIButton::buttonWithType(UIButtonTypeSystem);
    m_closeButton->setFrame(CGRectMake(10, 24, 80, 44));
    m_closeButton->setTitleForState(
        NSBundle::mainBundle()->localizedStringForKey("Close", "", ""), UIControlStateNormal);
    Weak<KESTARViewController> weak = self<KESTARViewController>();
    m_closeButton->addTargetActionForControlEvents(
        self<KESTARViewController>(), "closePress:",
        [weak](const Ref<UIControl>& sender, const Ref<UIEvent>&) {
            if (auto screen = weak.lock())
                screen->closePress(sender);
        },
        UIControlEventTouchUpInside);
    view()->addSubview(m_closeButton);
}
