#pragma once

#include "graphics/CALayer.h"
#include "uikit/UIButton.h"

#include <string>

class UIColor;

// A button for actions that want a second tap: the first tap turns its title into a green
// confirmation text (the width follows with an animation, anchored by toggleAnimation: 0 keeps
// the right edge, 1 the left, 2 the centre); a second tap fires the button's actions; a tap
// anywhere else cancels. A disabled text shows grey and the button then ignores touches, as it
// does once confirmed and while an animation runs. Main thread only.
class TSConfirmButton : public UIButton {
    VX_OBJECT(TSConfirmButton, UIButton)
public:
    explicit TSConfirmButton(Passkey key)
        : UIButton(key)
    {
    }
    static Ref<TSConfirmButton> buttonWithTitleConfirm(const std::string& title, const std::string& confirm);
    static Ref<TSConfirmButton> buttonWithDisabledTitle(const std::string& disabled);

    void setupLayers();
    void setSelected(bool selected) override;
    void disableWithTitle(const std::string& disabled);
    // Moves the button so that its top right corner is at the point.
    void setAnchor(CGPoint point);
    void setTintColor(const Ref<UIColor>& color);
    void darken();
    void lighten();
    void cancel();

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;

    const std::string& title() const { return m_title; }
    const std::string& confirm() const { return m_confirm; }
    const std::string& disabled() const { return m_disabled; }
    bool isConfirmed() const { return m_confirmed; }
    const Ref<UIColor>& tint() const { return m_tint; }
    int32_t toggleAnimation() const { return m_toggleAnimation; }
    void setToggleAnimation(int32_t anchoring) { m_toggleAnimation = anchoring; }
    const Ref<CALayer>& colorLayer() const { return m_colorLayer; }
    const Ref<CALayer>& darkenLayer() const { return m_darkenLayer; }
    const Ref<UIButton>& cancelOverlay() const { return m_cancelOverlay; }

private:
    void initialise(const std::string& text, const Ref<UIColor>& colour);
    void toggle();

    bool m_confirmed { false };
    Ref<CALayer> m_colorLayer;
    Ref<CALayer> m_darkenLayer;
    Ref<UIButton> m_cancelOverlay;
    std::string m_title, m_confirm, m_disabled;
    Ref<UIColor> m_tint;
    int32_t m_toggleAnimation { 0 };
};
