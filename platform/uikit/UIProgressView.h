#pragma once

#include "uikit/UIView.h"

enum UIProgressViewStyle : int32_t {
    UIProgressViewStyleDefault = 0,
    UIProgressViewStyleBar = 1,
};

// A bar filled to `progress`, kept between 0 and 1. Main thread only.
class UIProgressView : public UIView {
    VX_OBJECT(UIProgressView, UIView)
public:
    explicit UIProgressView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UIProgressView> initWithProgressViewStyle(UIProgressViewStyle style);
    static Ref<UIProgressView> initWithFrame(CGRect frame) { return makeView<UIProgressView>(frame); }

    UIProgressViewStyle progressViewStyle() const { return m_style; }
    void setProgressViewStyle(UIProgressViewStyle style) { m_style = style; }
    float progress() const { return m_progress; }
    void setProgress(float progress) { setProgressAnimated(progress, false); }
    void setProgressAnimated(float progress, bool animated);
    const Ref<UIColor>& progressTintColor() const { return m_progressTint; }
    void setProgressTintColor(const Ref<UIColor>& color)
    {
        m_progressTint = color;
        setNeedsDisplay();
    }
    const Ref<UIColor>& trackTintColor() const { return m_trackTint; }
    void setTrackTintColor(const Ref<UIColor>& color)
    {
        m_trackTint = color;
        setNeedsDisplay();
    }

    void drawRect(CGRect rect) override;
    CGSize sizeThatFits(CGSize size) const override { return CGSizeMake(size.width, 2); }

private:
    Ref<UIColor> m_progressTint;
    Ref<UIColor> m_trackTint;
    UIProgressViewStyle m_style { UIProgressViewStyleDefault };
    float m_progress { 0 };
};
