#include "uikit/UINavigationBar.h"

#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(UINavigationBar);

namespace {
constexpr CGFloat kBarHeight = 44;
constexpr CGFloat kEdgeMargin = 8;
constexpr CGFloat kItemGap = 8;
constexpr CGFloat kMinimumItemWidth = 44;
constexpr CGFloat kTitlePadding = 16;
} // namespace

Ref<UINavigationBar> UINavigationBar::initWithFrame(CGRect frame)
{
    auto bar = makeView<UINavigationBar>(frame);
    bar->setBackgroundColor(UIColor::colorWithWhiteAlpha(0.97f, 1));
    bar->m_titleLabel = UILabel::initWithFrame(CGRectZero);
    bar->m_titleLabel->setFont(UIFont::boldSystemFontOfSize(17));
    bar->m_titleLabel->setTextAlignment(NSTextAlignmentCenter);
    bar->m_titleLabel->setTextColor(UIColor::blackColor());
    bar->addSubview(bar->m_titleLabel);
    return bar;
}

void UINavigationBar::setItemsAnimated(std::vector<Ref<UINavigationItem>> items, bool)
{
    for (auto& item : m_items)
        item->setChangeHandler(nullptr);
    items.erase(std::remove(items.begin(), items.end(), nullptr), items.end());
    m_items = std::move(items);
    // The top item and the one under it (whose titles name the back button) are watched.
    Weak<UINavigationBar> weak = self<UINavigationBar>();
    auto changed = [weak] {
        if (auto bar = weak.lock())
            bar->rebuild();
    };
    if (auto back = backItem())
        back->setChangeHandler(changed);
    if (auto top = topItem())
        top->setChangeHandler(changed);
    rebuild();
}

void UINavigationBar::rebuild()
{
    if (m_backButton)
        m_backButton->removeFromSuperview();
    m_backButton = nullptr;
    for (auto& [item, view] : m_leftViews)
        view->removeFromSuperview();
    for (auto& [item, view] : m_rightViews)
        view->removeFromSuperview();
    m_leftViews.clear();
    m_rightViews.clear();
    if (m_titleView)
        m_titleView->removeFromSuperview();
    m_titleView = nullptr;

    auto top = topItem();
    m_titleLabel->setText(top ? top->title() : std::string());
    m_titleLabel->setHidden(!top || top->titleView());
    if (!top) {
        setNeedsLayout();
        return;
    }
    if (auto back = backItem(); back && !top->hidesBackButton()
        && (top->leftBarButtonItems().empty() || top->leftItemsSupplementBackButton())) {
        std::string title = back->backBarButtonItem() ? back->backBarButtonItem()->title() : back->title();
        if (title.empty())
            title = "Back";
        m_backButton = UIButton::buttonWithType(UIButtonTypeSystem);
        m_backButton->setTitleForState(title, UIControlStateNormal);
        Weak<UINavigationBar> weak = self<UINavigationBar>();
        m_backButton->addTargetActionForControlEvents(
            nullptr, "back",
            [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
                auto bar = weak.lock();
                if (bar && bar->m_backAction) {
                    auto action = bar->m_backAction;
                    action();
                }
            },
            UIControlEventTouchUpInside);
        addSubview(m_backButton);
    }
    for (auto& item : top->leftBarButtonItems()) {
        if (auto view = item->makeBarView()) {
            addSubview(view);
            m_leftViews.emplace_back(item, view);
        }
    }
    for (auto& item : top->rightBarButtonItems()) {
        if (auto view = item->makeBarView()) {
            addSubview(view);
            m_rightViews.emplace_back(item, view);
        }
    }
    if (top->titleView()) {
        m_titleView = top->titleView();
        addSubview(m_titleView);
    }
    setNeedsLayout();
}

void UINavigationBar::setStatusBarBackdropHeight(CGFloat height)
{
    if (height <= 0) {
        if (m_statusBarBackdrop)
            m_statusBarBackdrop->removeFromSuperview();
        m_statusBarBackdrop = nullptr;
        return;
    }
    if (!m_statusBarBackdrop) {
        m_statusBarBackdrop = UIView::initWithFrame(CGRectZero);
        m_statusBarBackdrop->setUserInteractionEnabled(false);
        insertSubviewAtIndex(m_statusBarBackdrop, 0);
    }
    m_statusBarBackdrop->setFrame(CGRectMake(0, -height, bounds().size.width, height));
    updateStatusBarBackdrop();
    setNeedsLayout();
}

void UINavigationBar::updateStatusBarBackdrop()
{
    if (!m_statusBarBackdrop)
        return;
    CGFloat height = m_statusBarBackdrop->frame().size.height;
    m_statusBarBackdrop->setFrame(CGRectMake(0, -height, bounds().size.width, height));
    m_statusBarBackdrop->setBackgroundColor(backgroundColor());
    bool attached = window() && std::fabs(convertPointToView(CGPointZero, nullptr).y - height) < 0.5f;
    m_statusBarBackdrop->setHidden(!attached);
}

void UINavigationBar::didMoveToWindow()
{
    UIView::didMoveToWindow();
    updateStatusBarBackdrop();
}

void UINavigationBar::layoutSubviews()
{
    CGRect b = bounds();
    updateStatusBarBackdrop();
    auto place = [&](const Ref<UIBarButtonItem>& item, const Ref<UIView>& view, CGFloat x, CGFloat w) {
        CGFloat h = item && item->customView() ? std::min(view->bounds().size.height, b.size.height) : b.size.height;
        view->setFrame(CGRectMake(x, (b.size.height - h) / 2, w, h));
    };
    CGFloat left = kEdgeMargin;
    if (m_backButton) {
        CGFloat w = std::max(kMinimumItemWidth,
            NSString_Drawing::sizeWithFont(m_backButton->currentTitle(), UIFont::systemFontOfSize(17)).width
                + kTitlePadding);
        place(nullptr, m_backButton, left, w);
        left += w + kItemGap;
    }
    for (auto& [item, view] : m_leftViews) {
        CGFloat w = item->fittingWidth();
        place(item, view, left, w);
        left += w + kItemGap;
    }
    CGFloat right = b.size.width - kEdgeMargin;
    for (auto& [item, view] : m_rightViews) {
        CGFloat w = item->fittingWidth();
        place(item, view, right - w, w);
        right -= w + kItemGap;
    }
    // The title sits in the middle of the bar when it fits there, else as near as it can
    // between the items.
    Ref<UIView> title = m_titleView ? m_titleView : Ref<UIView>(m_titleLabel);
    CGFloat fit = m_titleView ? m_titleView->bounds().size.width
                              : NSString_Drawing::sizeWithFont(m_titleLabel->text(), m_titleLabel->font()).width;
    CGFloat room = std::max<CGFloat>(0, right - left);
    CGFloat w = std::min(fit, room);
    CGFloat x = std::clamp((b.size.width - w) / 2, left, std::max(left, right - w));
    CGFloat h = m_titleView ? std::min(m_titleView->bounds().size.height, b.size.height) : b.size.height;
    title->setFrame(CGRectMake(x, (b.size.height - h) / 2, w, h));
}

CGRect UINavigationBar::frameForItem(const Ref<UIBarButtonItem>& item)
{
    layoutIfNeeded();
    for (auto* list : { &m_leftViews, &m_rightViews }) {
        for (auto& [shown, view] : *list) {
            if (shown == item)
                return view->frame();
        }
    }
    return CGRectZero;
}

CGSize UINavigationBar::sizeThatFits(CGSize size) const
{
    return CGSizeMake(size.width, kBarHeight);
}
