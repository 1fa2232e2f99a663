#include "KESTBaseViewController.h"

#include "KESTAnalyticsManager.h"
#include "NSNotificationCenter.h"
#include "NSString.h"
#include "UIKeyboard.h"

VX_REGISTER_CLASS(KESTBaseViewController);

void KESTBaseViewController::viewWillAppear(bool animated)
{
    UIViewController::viewWillAppear(animated);
    auto center = NSNotificationCenter::defaultCenter();
    auto self = this->self<KESTBaseViewController>();
    center->addObserver(self, &KESTBaseViewController::keyboardWasShown, std::string(UIKeyboardDidShowNotification), nullptr);
    center->addObserver(self, &KESTBaseViewController::keyboardWillBeShown, std::string(UIKeyboardWillShowNotification), nullptr);
    center->addObserver(self, &KESTBaseViewController::keyboardWillBeHidden, std::string(UIKeyboardWillHideNotification), nullptr);
    center->addObserver(self, &KESTBaseViewController::keyboardWasHidden, std::string(UIKeyboardDidHideNotification), nullptr);
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
