#pragma once

#include "uikit/UIView.h"

class UIColor;

// The bar indicator of the progress overlay: a rounded horizontal bar filled from the left.
// 120 x 20 points by default, clear and not opaque; it redraws itself when any of its
// properties changes. Main thread only.
class PHBarProgressView : public UIView {
    VX_OBJECT(PHBarProgressView, UIView)
public:
    explicit PHBarProgressView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<PHBarProgressView> init() { return initWithFrame(CGRectMake(0, 0, 120, 20)); }
    static Ref<PHBarProgressView> initWithFrame(CGRect frame);

    float progress() const { return m_progress; }
    void setProgress(float progress) { setValueNotifying("progress", m_progress, progress); }
    const Ref<UIColor>& lineColor() const { return m_lineColor; }
    void setLineColor(Ref<UIColor> color) { setValueNotifying("lineColor", m_lineColor, std::move(color)); }
    const Ref<UIColor>& progressRemainingColor() const { return m_progressRemainingColor; }
    void setProgressRemainingColor(Ref<UIColor> color)
    {
        setValueNotifying("progressRemainingColor", m_progressRemainingColor, std::move(color));
    }
    const Ref<UIColor>& progressColor() const { return m_progressColor; }
    void setProgressColor(Ref<UIColor> color) { setValueNotifying("progressColor", m_progressColor, std::move(color)); }

    void drawRect(CGRect rect) override;
    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;
    Value valueForKey(const std::string& key) override;

private:
    float m_progress { 0 };
    Ref<UIColor> m_lineColor;
    Ref<UIColor> m_progressRemainingColor;
    Ref<UIColor> m_progressColor;
};
