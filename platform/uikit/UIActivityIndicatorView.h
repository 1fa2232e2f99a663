#pragma once

#include "uikit/UIView.h"

enum UIActivityIndicatorViewStyle : int32_t {
    UIActivityIndicatorViewStyleWhiteLarge = 0,
    UIActivityIndicatorViewStyleWhite = 1,
    UIActivityIndicatorViewStyleGray = 2,
};

// A spinner: 37 points across for the large style, 20 otherwise. With hidesWhenStopped (the
// default) it is hidden whenever it is not animating. Main thread only.
class UIActivityIndicatorView : public UIView {
    VX_OBJECT(UIActivityIndicatorView, UIView)
public:
    explicit UIActivityIndicatorView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UIActivityIndicatorView> initWithActivityIndicatorStyle(UIActivityIndicatorViewStyle style);
    static Ref<UIActivityIndicatorView> initWithFrame(CGRect frame);

    UIActivityIndicatorViewStyle activityIndicatorViewStyle() const { return m_style; }
    void setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle style);
    bool hidesWhenStopped() const { return m_hidesWhenStopped; }
    void setHidesWhenStopped(bool v);
    const Ref<UIColor>& color() const { return m_color; }
    void setColor(const Ref<UIColor>& color)
    {
        m_color = color;
        setNeedsDisplay();
    }
    void startAnimating();
    void stopAnimating();
    // Twelve spokes round the centre, fading clockwise from the one at the top (the picture
    // does not turn).
    void drawRect(CGRect rect) override;
    bool isAnimating() const { return m_animating; }

    CGSize sizeThatFits(CGSize) const override;

private:
    Ref<UIColor> m_color;
    UIActivityIndicatorViewStyle m_style { UIActivityIndicatorViewStyleWhite };
    bool m_hidesWhenStopped { true };
    bool m_animating { false };
};
