// Editing: keeping the edited text cell clear of the keyboard.

#include "grid/LatticeGrid.h"

#include "foundation/NSNotification.h"
#include "graphics/NSValue.h"
#include "grid/LGridCell.h"
#include "grid/LGridLayer.h"
#include "uikit/UIApplication.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

namespace {

UIInterfaceOrientation interfaceOrientation()
{
    auto app = UIApplication::sharedApplication();
    auto window = app ? app->keyWindow() : nullptr;
    auto root = window ? window->rootViewController() : nullptr;
    return root ? root->interfaceOrientation() : UIInterfaceOrientationPortrait;
}

CGRect rectFromUserInfo(const Value& info, const char* key)
{
    auto value = info[key].objectAs<NSValue>();
    return value ? value->CGRectValue() : CGRectZero;
}

} // namespace

void LatticeGrid::keyboardWillShow(const Ref<NSNotification>& notification)
{
    auto protectedThis = protectedGrid();
    setLayersScrollEnabled(false);
    if (m_keyBoardIsShowing)
        return;
    // A keyboard for some other input than one of this grid's cells needs no room here.
    auto cell = m_userPrimaryCellCoord ? visibleCellAtCoord(m_userPrimaryCellCoord) : nullptr;
    if (cell && cell->superview() && notification) {
        CGRect k = rectFromUserInfo(notification->userInfo(), UIKeyboardFrameEndUserInfoKey);
        CGRect frame = cell->frame();
        CGPoint p = CGPointMake(frame.origin.x + frame.size.width, frame.origin.y + frame.size.height);
        p = cell->superview()->convertPointToView(p, protectedThis);
        p = convertPointToView(p, nullptr);
        auto window = this->window();
        CGRect windowFrame = window ? window->frame() : CGRectZero;
        CGFloat w = windowFrame.size.width;
        CGFloat h = windowFrame.size.height;
        switch (interfaceOrientation()) {
        case UIInterfaceOrientationLandscapeLeft:
            k = CGRectMake(k.origin.y, k.origin.x, k.size.height, k.size.width);
            p = CGPointMake(p.y, p.x);
            break;
        case UIInterfaceOrientationLandscapeRight:
            k = CGRectMake(k.origin.y, w - k.size.width, k.size.height, k.size.width);
            p = CGPointMake(p.y, w - p.x);
            break;
        case UIInterfaceOrientationPortraitUpsideDown:
            k.origin.y = h - k.size.height;
            p.y = h - p.y;
            break;
        default:
            break;
        }
        if (p.y > k.origin.y) {
            CGFloat d = p.y - k.origin.y;
            UIEdgeInsets inset { 0, 0, static_cast<float>(d), 0 };
            setContentInset(inset);
            setScrollIndicatorInsets(inset);
            CGPoint offset = m_liquidLayer->contentOffset();
            setContentOffsetAnimated(CGPointMake(offset.x, offset.y + d), true);
        }
    }
    m_keyBoardIsShowing = true;
}

void LatticeGrid::keyboardWillHide(const Ref<NSNotification>& notification)
{
    auto protectedThis = protectedGrid();
    setLayersScrollEnabled(true);
    double duration = 0.25;
    int32_t curve = 0;
    if (notification) {
        const Value& info = notification->userInfo();
        duration = info[UIKeyboardAnimationDurationUserInfoKey].doubleValue();
        curve = info[UIKeyboardAnimationCurveUserInfoKey].intValue();
    }
    UIView::beginAnimations("", nullptr);
    UIView::setAnimationDuration(duration);
    UIView::setAnimationCurve(static_cast<UIViewAnimationCurve>(curve));
    setContentInset(UIEdgeInsets {});
    setScrollIndicatorInsets(UIEdgeInsets {});
    UIView::commitAnimations();
    m_keyBoardIsShowing = false;
}
