#pragma once

#include "graphics/UIGeometry.h"
#include "uikit/UICollectionViewLayout.h"

#include <optional>

enum UICollectionViewScrollDirection : int32_t {
    UICollectionViewScrollDirectionVertical = 0,
    UICollectionViewScrollDirectionHorizontal = 1,
};

// Lays items out in lines: across the view, one line after another in the scroll direction
// (rows for vertical scrolling, columns for horizontal). Each section starts a new line after
// its header and its inset. A full line spreads its items so that the first and last touch the
// section insets; the last line of a section keeps the spacing of the line before it (the
// minimum spacing when it is the only line), so columns stay aligned. Sizes, insets and spacings
// come from the collection view's delegate when it is a UICollectionViewDelegateFlowLayout and
// answers, else from these properties. Main thread only.
class UICollectionViewFlowLayout : public UICollectionViewLayout {
    VX_OBJECT(UICollectionViewFlowLayout, UICollectionViewLayout)
public:
    explicit UICollectionViewFlowLayout(Passkey key)
        : UICollectionViewLayout(key)
    {
    }
    static Ref<UICollectionViewFlowLayout> init() { return make<UICollectionViewFlowLayout>(); }

    CGSize itemSize() const { return m_itemSize; }
    void setItemSize(CGSize size)
    {
        m_itemSize = size;
        invalidateLayout();
    }
    CGFloat minimumLineSpacing() const { return m_minimumLineSpacing; }
    void setMinimumLineSpacing(CGFloat v)
    {
        m_minimumLineSpacing = v;
        invalidateLayout();
    }
    CGFloat minimumInteritemSpacing() const { return m_minimumInteritemSpacing; }
    void setMinimumInteritemSpacing(CGFloat v)
    {
        m_minimumInteritemSpacing = v;
        invalidateLayout();
    }
    UIEdgeInsets sectionInset() const { return m_sectionInset; }
    void setSectionInset(UIEdgeInsets insets)
    {
        m_sectionInset = insets;
        invalidateLayout();
    }
    UICollectionViewScrollDirection scrollDirection() const { return m_scrollDirection; }
    void setScrollDirection(UICollectionViewScrollDirection d)
    {
        m_scrollDirection = d;
        invalidateLayout();
    }
    CGSize headerReferenceSize() const { return m_headerReferenceSize; }
    void setHeaderReferenceSize(CGSize size)
    {
        m_headerReferenceSize = size;
        invalidateLayout();
    }
    CGSize footerReferenceSize() const { return m_footerReferenceSize; }
    void setFooterReferenceSize(CGSize size)
    {
        m_footerReferenceSize = size;
        invalidateLayout();
    }

    void prepareLayout() override;
    CGSize collectionViewContentSize() override { return m_contentSize; }
    std::vector<Ref<UICollectionViewLayoutAttributes>> layoutAttributesForElementsInRect(CGRect rect) override;
    Ref<UICollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(
        const Ref<NSIndexPath>& indexPath) override;
    bool shouldInvalidateLayoutForBoundsChange(CGRect newBounds) override;

private:
    CGSize m_itemSize { 50, 50 };
    CGFloat m_minimumLineSpacing { 10 };
    CGFloat m_minimumInteritemSpacing { 10 };
    UIEdgeInsets m_sectionInset {};
    UICollectionViewScrollDirection m_scrollDirection { UICollectionViewScrollDirectionVertical };
    CGSize m_headerReferenceSize {};
    CGSize m_footerReferenceSize {};

    CGSize m_contentSize {};
    CGSize m_preparedForSize {};
    std::vector<std::vector<Ref<UICollectionViewLayoutAttributes>>> m_items;
    std::vector<Ref<UICollectionViewLayoutAttributes>> m_supplementary;
};
