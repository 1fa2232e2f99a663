#pragma once

#include "uikit/UIControl.h"

// A row of dots, one per page, the current one highlighted. A touch lifting right of the
// current dot moves to the next page, left of it to the previous one, sending value-changed.
// The current page always lies within the pages. Main thread only.
class UIPageControl : public UIControl {
    VX_OBJECT(UIPageControl, UIControl)
public:
    explicit UIPageControl(Passkey key)
        : UIControl(key)
    {
    }
    static Ref<UIPageControl> initWithFrame(CGRect frame) { return makeView<UIPageControl>(frame); }

    int32_t numberOfPages() const { return m_pages; }
    void setNumberOfPages(int32_t pages);
    int32_t currentPage() const { return m_current; }
    void setCurrentPage(int32_t page);
    bool hidesForSinglePage() const { return m_hidesForSinglePage; }
    void setHidesForSinglePage(bool v);
    bool defersCurrentPageDisplay() const { return m_defers; }
    void setDefersCurrentPageDisplay(bool v) { m_defers = v; }
    void updateCurrentPageDisplay() { setNeedsDisplay(); }
    const Ref<UIColor>& pageIndicatorTintColor() const { return m_tint; }
    void setPageIndicatorTintColor(const Ref<UIColor>& color) { m_tint = color; }
    const Ref<UIColor>& currentPageIndicatorTintColor() const { return m_currentTint; }
    void setCurrentPageIndicatorTintColor(const Ref<UIColor>& color) { m_currentTint = color; }
    // 16 points per dot, at least 7 points high.
    CGSize sizeForNumberOfPages(int32_t pages) const { return CGSizeMake(16.0f * std::max(0, pages), 37); }

    void endTrackingWithTouchWithEvent(const Ref<UITouch>& touch, const Ref<UIEvent>& event) override;
    // A 7-point dot per page, 16 points apart and centred; the current page's dot in the current
    // tint (white by default), the others in the page tint (half-transparent white by default).
    void drawRect(CGRect rect) override;

private:
    void updateHidden();

    Ref<UIColor> m_tint;
    Ref<UIColor> m_currentTint;
    int32_t m_pages { 0 };
    int32_t m_current { 0 };
    bool m_hidesForSinglePage { false };
    bool m_defers { false };
};
