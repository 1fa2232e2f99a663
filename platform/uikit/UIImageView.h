#pragma once

#include "uikit/UIView.h"

class UIImage;

// Shows an image (or the highlighted image while highlighted) as its layer's contents, placed
// by the content mode. A resizable image is instead drawn to fill the view, its caps at their
// own size and only the parts between them stretched or tiled. Touches pass through by default.
// Main thread only.
class UIImageView : public UIView {
    VX_OBJECT(UIImageView, UIView)
public:
    explicit UIImageView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UIImageView> initWithFrame(CGRect frame);
    // Sized to the image.
    static Ref<UIImageView> initWithImage(const Ref<UIImage>& image);

    const Ref<UIImage>& image() const { return m_image; }
    void setImage(const Ref<UIImage>& image);
    const Ref<UIImage>& highlightedImage() const { return m_highlightedImage; }
    void setHighlightedImage(const Ref<UIImage>& image);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);

    CGSize sizeThatFits(CGSize size) const override;
    bool displayLayer(CALayer& layer) override;
    void setBounds(CGRect bounds) override;

private:
    Ref<UIImage> shownImage() const;
    void updateContents();

    Ref<UIImage> m_image;
    Ref<UIImage> m_highlightedImage;
    bool m_highlighted { false };
    // The size a resizable image was last drawn at.
    CGSize m_drawnSize {};
};
