#pragma once

#include "uikit/UICollectionViewCell.h"
#include "uikit/UIScrollView.h"

#include <string>

class UIImageView;
class UITapGestureRecognizer;

// One page of the full-screen photo pager: the photo in a scroll view that zooms from 1 to 6,
// and a double tap that toggles between the two. Built from the layout
// "KESTFullScreenGalleryCell". Main thread only.
class KESTFullScreenGalleryCell : public UICollectionViewCell, public UIScrollViewDelegate {
    VX_OBJECT(KESTFullScreenGalleryCell, UICollectionViewCell)
public:
    explicit KESTFullScreenGalleryCell(Passkey key)
        : UICollectionViewCell(key)
    {
    }
    static Ref<KESTFullScreenGalleryCell> initWithFrame(CGRect frame)
    {
        return makeCell<KESTFullScreenGalleryCell>(frame);
    }

    // Sets the zoom range, becomes the scroll view's delegate and makes the double tap.
    virtual void awakeFromNib();
    void handleDoubleTap(const Ref<UIGestureRecognizer>& recognizer);
    void prepareForReuse() override;
    Ref<UIView> viewForZoomingInScrollView(const Ref<UIScrollView>&) override;

    const Ref<UIScrollView>& scrollView() const { return m_scrollView; }
    void setScrollView(Ref<UIScrollView> view) { m_scrollView = std::move(view); }
    const Ref<UIImageView>& image() const { return m_image; }
    void setImage(Ref<UIImageView> view) { m_image = std::move(view); }
    const Ref<UITapGestureRecognizer>& doubleTap() const { return m_doubleTap; }
    // The address of the photo the page shows now; an answer for another photo is not shown.
    const std::string& photoAddress() const { return m_photoAddress; }
    void setPhotoAddress(std::string address) { m_photoAddress = std::move(address); }

private:
    Ref<UIScrollView> m_scrollView;
    Ref<UIImageView> m_image;
    Ref<UITapGestureRecognizer> m_doubleTap;
    std::string m_photoAddress;
};
