#pragma once

#include "UIControl.h"

#include <map>

class UIImage;
class UIImageView;

// The check box of the check cells: a button showing "toggleSelected" when selected and
// "toggleDeselected" otherwise, centred, that flips its selected state on each tap before any
// other target's action runs (its own target is added first). Exclusive touch.
//
// It offers the button calls its users need (per-state images, the current image, the image
// view); the platform's button class has no factory a subclass can build on yet.
// Main thread only.
class KESTToggleButton : public UIControl {
    VX_OBJECT(KESTToggleButton, UIControl)
public:
    explicit KESTToggleButton(Passkey key)
        : UIControl(key)
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

    // Images per state, as a button has them; the normal state's image stands in for a state
    // that has none.
    void setImageForState(const Ref<UIImage>& image, UIControlState state);
    Ref<UIImage> imageForState(UIControlState state) const;
    Ref<UIImage> currentImage() const { return imageForState(state()); }
    const Ref<UIImageView>& imageView() const { return m_imageView; }

    void setSelected(bool selected) override;
    void setEnabled(bool enabled) override;
    void setHighlighted(bool highlighted) override;
    void layoutSubviews() override;

private:
    void updateImage();

    Ref<UIImage> m_notSelectedImage;
    Ref<UIImage> m_selectedImage;
    std::map<UIControlState, Ref<UIImage>> m_images;
    Ref<UIImageView> m_imageView;
};
