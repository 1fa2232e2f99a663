#include "uikit/UICollectionViewCell.h"

VX_REGISTER_CREATABLE_CLASS(UICollectionViewCell);

void UICollectionViewCell::setUpCell()
{
    m_contentView = UIView::initWithFrame(bounds());
    m_contentView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    addSubview(m_contentView);
}

void UICollectionViewCell::setBackgroundView(const Ref<UIView>& view)
{
    if (m_backgroundView)
        m_backgroundView->removeFromSuperview();
    m_backgroundView = view;
    if (view) {
        view->setFrame(bounds());
        insertSubviewAtIndex(view, 0);
    }
}

void UICollectionViewCell::setSelectedBackgroundView(const Ref<UIView>& view)
{
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->removeFromSuperview();
    m_selectedBackgroundView = view;
    updateBackground();
}

void UICollectionViewCell::setSelected(bool selected)
{
    m_selected = selected;
    updateBackground();
}

void UICollectionViewCell::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    updateBackground();
}

void UICollectionViewCell::updateBackground()
{
    if (!m_selectedBackgroundView)
        return;
    bool shown = m_selected || m_highlighted;
    if (shown && !m_selectedBackgroundView->superview()) {
        m_selectedBackgroundView->setFrame(bounds());
        insertSubviewBelowSubview(m_selectedBackgroundView, m_contentView);
    } else if (!shown && m_selectedBackgroundView->superview()) {
        m_selectedBackgroundView->removeFromSuperview();
    }
}

void UICollectionViewCell::prepareForReuse()
{
    m_selected = false;
    m_highlighted = false;
    updateBackground();
}

void UICollectionViewCell::layoutSubviews()
{
    m_contentView->setFrame(bounds());
    if (m_backgroundView)
        m_backgroundView->setFrame(bounds());
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->setFrame(bounds());
}
