#pragma once

#include "uikit/UICollectionViewCell.h"

class UIImageView;

// A thumbnail of the photo grid. Built from the layout "KESTGalleryCollectionViewCell".
// Main thread only.
class KESTGalleryCollectionViewCell : public UICollectionViewCell {
    VX_OBJECT(KESTGalleryCollectionViewCell, UICollectionViewCell)
public:
    explicit KESTGalleryCollectionViewCell(Passkey key)
        : UICollectionViewCell(key)
    {
    }
    static Ref<KESTGalleryCollectionViewCell> initWithFrame(CGRect frame)
    {
        return makeCell<KESTGalleryCollectionViewCell>(frame);
    }
    const Ref<UIImageView>& imageView() const { return m_imageView; }
    void setImageView(Ref<UIImageView> view) { m_imageView = std::move(view); }

private:
    Ref<UIImageView> m_imageView;
};
