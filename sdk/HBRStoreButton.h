#pragma once

#include "sdk/HBRHarborSDK.h"
#include "sdk/HBRStoreButtonData.h"
#include "uikit/UIButton.h"

#include <vector>

class CALayer;
class HBRStoreButton;

// Told when the store button is tapped.
class HBRStoreButtonDelegate {
public:
    virtual ~HBRStoreButtonDelegate() = default;
    virtual void storeButtonFired(HBRStoreButton& button) = 0;
};

// The store-style action button of the update screen: a bordered, rounded label that sizes
// itself to its text and sits at a fixed distance from its superview's right edge. Style 1 is
// the flat look, style 0 the older gradient look. Main thread only.
class HBRStoreButton : public UIButton {
    VX_OBJECT(HBRStoreButton, UIButton)
public:
    explicit HBRStoreButton(Passkey key)
        : UIButton(key)
    {
    }
    static Ref<HBRStoreButton> initWithFrame(CGRect frame);
    static Ref<HBRStoreButton> initWithPaddingStyle(CGPoint padding, uint32_t style);

    const Ref<HBRStoreButtonData>& buttonData() const { return m_buttonData; }
    void setButtonData(const Ref<HBRStoreButtonData>& data) { setButtonDataAnimated(data, false); }
    void setButtonDataAnimated(const Ref<HBRStoreButtonData>& data, bool animated);
    HBRStoreButtonDelegate* buttonDelegate() const { return m_buttonDelegate.get(); }
    void setButtonDelegate(HBRStoreButtonDelegate* delegate, Weak<NSObject> owner)
    {
        m_buttonDelegate = { delegate, owner };
    }
    CGPoint customPadding() const { return m_customPadding; }
    uint32_t style() const { return m_style; }
    const Ref<CALayer>& defaultBorderLayer() const { return m_defaultBorderLayer; }
    const Ref<CALayer>& inActiveBorderLayer() const { return m_inActiveBorderLayer; }

    void alignToSuperview();
    CGSize sizeThatFits(CGSize size) const override;
    void setFrame(CGRect frame) override;

private:
    void setUpButton();
    void updateButtonAnimated(bool animated);
    void resizeLayersToWidth(CGFloat width, bool animated);

    Ref<HBRStoreButtonData> m_buttonData;
    HBRDelegateRef<HBRStoreButtonDelegate> m_buttonDelegate;
    CGPoint m_customPadding { 0, 0 };
    uint32_t m_style { 0 };
    Ref<CALayer> m_defaultBorderLayer;
    Ref<CALayer> m_inActiveBorderLayer;
    // The gradient and border layers, which follow the button's size.
    std::vector<Ref<CALayer>> m_ownLayers;
};
