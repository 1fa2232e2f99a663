#pragma once

#include "uikit/UIControl.h"

#include <string>

// A pull-to-refresh control for a scroll view (usually a table): added as a subview of the
// scroll view, it begins refreshing and sends value-changed when the user releases a drag
// pulled at least 60 points past the top. beginRefreshing/endRefreshing in code send nothing.
// Main thread only.
class UIRefreshControl : public UIControl {
    VX_OBJECT(UIRefreshControl, UIControl)
public:
    explicit UIRefreshControl(Passkey key)
        : UIControl(key)
    {
    }
    static Ref<UIRefreshControl> init();

    static constexpr CGFloat pullDistance = 60;

    bool isRefreshing() const { return m_refreshing; }
    void beginRefreshing();
    void endRefreshing();
    const std::string& attributedTitle() const { return m_title; }
    void setAttributedTitle(const std::string& title) { m_title = title; }

    // Called by the scroll view when a drag is released `overscroll` points past its top.
    void scrollViewReleasedWithOverscroll(CGFloat overscroll);

    void didMoveToSuperview() override;

private:
    std::string m_title;
    bool m_refreshing { false };
};
