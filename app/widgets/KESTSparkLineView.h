#pragma once

#include "graphics/CGContext.h"
#include "uikit/UIView.h"

#include <vector>

class KESTSparkLinePoint;
class KESTSparkLineView;
class UIColor;

// Told each time a spark line takes a value in.
class KESTSparkLineViewDelegate {
public:
    virtual ~KESTSparkLineViewDelegate() = default;
    virtual void sparkLineDidAddPlotPointWithValue(const Ref<KESTSparkLineView>& sparkLine, float value) = 0;
};

// A small line chart of one live value that slides to the left smoothly. Values handed in wait
// in `pointsToAdd`; at most one is taken in every 15 seconds (the newest waiting one, or a copy
// of the oldest plotted value when none waits), the last eight are kept, and between intakes
// the line moves one step (a sixth of the width) to the left, driven by `replot` from the
// owner's display link. Values are scaled to bounds rounded to hundreds. Time is the process
// clock's wall time. Main thread only.
class KESTSparkLineView : public UIView {
    VX_OBJECT(KESTSparkLineView, UIView)
public:
    explicit KESTSparkLineView(Passkey key)
        : UIView(key)
    {
    }
    ~KESTSparkLineView() override;
    static Ref<KESTSparkLineView> initWithFrame(CGRect frame);

    static constexpr double kIntakeInterval = 15;
    static constexpr size_t kMaximumPoints = 8;

    // The first value also fills the line with six copies of itself.
    void addPlotPoint(float value);
    void replot();
    float currentValue() const;
    float verticalPositionForPoint(const Ref<KESTSparkLinePoint>& point) const;
    void drawPlotPointInContextAtRect(const CGContextRef& context, CGRect rect) const;
    void drawRect(CGRect rect) override;

    const std::vector<Ref<KESTSparkLinePoint>>& points() const { return m_points; }
    const std::vector<Ref<KESTSparkLinePoint>>& pointsToAdd() const { return m_pointsToAdd; }
    const Ref<UIColor>& color() const { return m_color; }
    void setColor(Ref<UIColor> color) { m_color = std::move(color); }
    KESTSparkLineViewDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }
    void setDelegate(KESTSparkLineViewDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    double lastPointAddedTS() const { return m_lastPointAddedTS; }
    double lastPlotTS() const { return m_lastPlotTS; }

private:
    std::vector<Ref<KESTSparkLinePoint>> m_points;
    std::vector<Ref<KESTSparkLinePoint>> m_pointsToAdd;
    Ref<UIColor> m_color;
    KESTSparkLineViewDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    double m_lastPointAddedTS { 0 };
    double m_lastPlotTS { 0 };
};
