#pragma once

#include "uikit/UIButton.h"

class UIImage;

// The check box of the check cells: a custom button showing "toggleSelected" when selected and
// "toggleDeselected" otherwise, centred, that flips its selected state on each tap before any
// other target's action runs (its own target is added first). Exclusive touch. Main thread only.
class KESTToggleButton : public UIButton {
    VX_OBJECT(KESTToggleButton, UIButton)
public:
    explicit KESTToggleButton(Passkey key)
        : UIButton(key)
    {
    }
    static Ref<KESTToggleButton> initWithFrame(CGRect frame);
    static Ref<KESTToggleButton> init() { return initWithFrame(CGRectZero); }

    // Flips the selected state.
    void checkboxBtnChecked(const Ref<NSObject>& sender = nullptr);

    // Stored only; the button's own images come from the named images.
    const Ref<UIImage>& notSelectedImage() const { return m_notSelectedImage; }
    void setNotSelectedImage(Ref<UIImage> image) { m_notSelectedImage = std::move(image); }
    const Ref<UIImage>& selectedImage() const { return m_selectedImage; }
    void setSelectedImage(Ref<UIImage> image) { m_selectedImage = std::move(image); }

private:
    Ref<UIImage> m_notSelectedImage;
    Ref<UIImage> m_selectedImage;
};
