#include "app/view-controllers/common/KESTBaseViewController.h"

#include "app/core/KESTAnalyticsManager.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "uikit/UIKeyboard.h"

VX_REGISTER_CLASS(KESTBaseViewController);

void KESTBaseViewController::viewWillAppear(bool animated)
{
    UIViewController::viewWillAppear(animated);
    auto center = NSNotificationCenter::defaultCenter();
    auto self = this->self<KESTBaseViewController>();
    center->addObserver(
        self, &KESTBaseViewController::keyboardWasShown, std::string(UIKeyboardDidShowNotification), nullptr);
    center->addObserver(
        self, &KESTBaseViewController::keyboardWillBeShown, std::string(UIKeyboardWillShowNotification), nullptr);
    center->addObserver(
        self, &KESTBaseViewController::keyboardWillBeHidden, std::string(UIKeyboardWillHideNotification), nullptr);
    center->addObserver(
        self, &KESTBaseViewController::keyboardWasHidden, std::string(UIKeyboardDidHideNotification), nullptr);
    KESTAnalyticsManager::sharedInstance()->logEventWithNameWithCount(className(), 1);
    m_visible = true;
}

void KESTBaseViewController::viewDidDisappear(bool animated)
{
    UIViewController::viewDidDisappear(animated);
    NSNotificationCenter::defaultCenter()->removeObserver(self<NSObject>());
    m_visible = false;
}

void KESTBaseViewController::closePress(const Ref<NSObject>&)
{
    dismissViewControllerAnimatedCompletion(true, nullptr);
}
