#pragma once

#include "uikit/UIView.h"

class UIColor;

// A determinate progress indicator of the progress overlay: a pie, or a ring when annular.
// 37 x 37 points by default, clear and not opaque; it redraws itself when any of its
// properties changes. Main thread only.
class PHRoundProgressView : public UIView {
    VX_OBJECT(PHRoundProgressView, UIView)
public:
    explicit PHRoundProgressView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<PHRoundProgressView> init() { return initWithFrame(CGRectMake(0, 0, 37, 37)); }
    static Ref<PHRoundProgressView> initWithFrame(CGRect frame);

    bool isAnnular() const { return m_annular; }
    void setAnnular(bool annular) { setValueNotifying("annular", m_annular, annular); }
    float progress() const { return m_progress; }
    void setProgress(float progress) { setValueNotifying("progress", m_progress, progress); }
    const Ref<UIColor>& progressTintColor() const { return m_progressTintColor; }
    void setProgressTintColor(Ref<UIColor> color)
    {
        setValueNotifying("progressTintColor", m_progressTintColor, std::move(color));
    }
    const Ref<UIColor>& backgroundTintColor() const { return m_backgroundTintColor; }
    void setBackgroundTintColor(Ref<UIColor> color)
    {
        setValueNotifying("backgroundTintColor", m_backgroundTintColor, std::move(color));
    }

    void drawRect(CGRect rect) override;
    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;
    Value valueForKey(const std::string& key) override;

private:
    bool m_annular { false };
    float m_progress { 0 };
    Ref<UIColor> m_progressTintColor;
    Ref<UIColor> m_backgroundTintColor;
};
