#include "app/view-controllers/gallery/KESTFullScreenGalleryCell.h"

#include "uikit/UIImageView.h"
#include "uikit/UITapGestureRecognizer.h"

VX_REGISTER_CLASS(KESTFullScreenGalleryCell);

void KESTFullScreenGalleryCell::awakeFromNib()
{
    if (m_scrollView) {
        m_scrollView->setMinimumZoomScale(1.0f);
        m_scrollView->setMaximumZoomScale(6.0f);
        m_scrollView->setDelegate(this, weak_from_this());
    }
    m_doubleTap = UITapGestureRecognizer::init();
    m_doubleTap->setNumberOfTapsRequired(2);
    Weak<KESTFullScreenGalleryCell> weak = self<KESTFullScreenGalleryCell>();
    m_doubleTap->addTargetAction(
        self<NSObject>(), "handleDoubleTap:", [weak](const Ref<UIGestureRecognizer>& recognizer) {
            if (auto cell = weak.lock())
                cell->handleDoubleTap(recognizer);
        });
}

void KESTFullScreenGalleryCell::handleDoubleTap(const Ref<UIGestureRecognizer>&)
{
    if (!m_scrollView)
        return;
    if (m_scrollView->zoomScale() > m_scrollView->minimumZoomScale())
        m_scrollView->setZoomScaleAnimated(m_scrollView->minimumZoomScale(), true);
    else
        m_scrollView->setZoomScaleAnimated(m_scrollView->maximumZoomScale(), true);
}

void KESTFullScreenGalleryCell::prepareForReuse()
{
    UICollectionViewCell::prepareForReuse();
    if (m_image)
        m_image->setImage(nullptr);
    if (m_scrollView)
        m_scrollView->setZoomScaleAnimated(m_scrollView->minimumZoomScale(), false);
}

Ref<UIView> KESTFullScreenGalleryCell::viewForZoomingInScrollView(const Ref<UIScrollView>&)
{
    return m_image;
}
