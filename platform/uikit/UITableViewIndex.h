#pragma once

#include "uikit/UIView.h"

#include <functional>
#include <string>
#include <vector>

class UIColor;

// The section index a table shows at its right edge: its titles stacked in the middle of its
// height. Touching it, and moving along it, reports the entry under the finger each time it
// changes (a finger above or below the titles picks the first or last). Made and placed by
// UITableView. Main thread only.
class UITableViewIndex : public UIView {
    VX_OBJECT(UITableViewIndex, UIView)
public:
    static constexpr CGFloat kWidth = 30;
    static constexpr CGFloat kEntryHeight = 16;

    explicit UITableViewIndex(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UITableViewIndex> init() { return makeView<UITableViewIndex>(CGRectZero); }

    const std::vector<std::string>& titles() const { return m_titles; }
    void setTitles(std::vector<std::string> titles);
    void setColors(Ref<UIColor> text, Ref<UIColor> background, Ref<UIColor> trackingBackground);
    bool isTracking() const { return m_tracking; }
    // Called with the entry's position when the finger picks a new one.
    void setOnSelect(std::function<void(int32_t)> onSelect) { m_onSelect = std::move(onSelect); }
    // The entry under a point of this view's space.
    int32_t entryAtPoint(CGPoint point) const;

    void drawRect(CGRect rect) override;
    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event) override;

private:
    CGFloat entriesTop() const;
    void track(const UITouchSet& touches);
    void setTracking(bool tracking);

    std::vector<std::string> m_titles;
    Ref<UIColor> m_textColor;
    Ref<UIColor> m_backgroundColor;
    Ref<UIColor> m_trackingBackgroundColor;
    std::function<void(int32_t)> m_onSelect;
    int32_t m_current { -1 };
    bool m_tracking { false };
};
