#pragma once

#include "foundation/Value.h"
#include "uikit/UIView.h"

#include <string>
#include <vector>

// What the drawing view of a route progress view reads: the container's own settings.
class KESTRouteProgressViewDelegate {
public:
    virtual ~KESTRouteProgressViewDelegate() = default;
    virtual const Value& airportData() const = 0;
    virtual bool showProgress() const = 0;
    virtual bool showDistances() const = 0;
    virtual bool showTerminals() const = 0;
    virtual float progress() const = 0;
    virtual int32_t currentHop() const = 0;
    virtual int32_t totalHops() const = 0;
};

// Paints the bar, the airport markers and the plane's marker of a route progress view, one
// page per hop, from what its delegate answers. Main thread only.
class KESTRouteProgressInternalView : public UIView {
    VX_OBJECT(KESTRouteProgressInternalView, UIView)
public:
    explicit KESTRouteProgressInternalView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<KESTRouteProgressInternalView> initWithFrame(CGRect frame);

    void setDelegate(const KESTRouteProgressViewDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    const KESTRouteProgressViewDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

    // Where the last drawing put the plane's marker (x of its left edge), for tests.
    CGFloat lastMarkerX() const { return m_lastMarkerX; }
    // The images the last drawing chose for the airport markers, in airport order ("A" for the
    // active image, "I" for the inactive one).
    const std::string& lastMarkerStates() const { return m_lastMarkerStates; }
    // The width of the active fill of each hop the last drawing painted (0 when none was drawn).
    const std::vector<CGFloat>& lastFills() const { return m_lastFills; }

    void drawRect(CGRect rect) override;

private:
    const KESTRouteProgressViewDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    CGFloat m_lastMarkerX { 0 };
    std::string m_lastMarkerStates;
    std::vector<CGFloat> m_lastFills;
};
