#include "uikit/UICollectionViewFlowLayout.h"

#include "uikit/UICollectionView.h"

VX_REGISTER_CREATABLE_CLASS(UICollectionViewFlowLayout);

namespace {
// The layout works in "flow" coordinates: `across` is the axis items fill a line along and
// `along` the axis lines stack in (the scroll direction). Vertical scrolling: across = x.
struct Axis {
    bool horizontal;
    CGFloat across(CGSize s) const { return horizontal ? s.height : s.width; }
    CGFloat along(CGSize s) const { return horizontal ? s.width : s.height; }
    CGRect rect(CGFloat across, CGFloat along, CGFloat acrossSize, CGFloat alongSize) const
    {
        return horizontal ? CGRectMake(along, across, alongSize, acrossSize)
                          : CGRectMake(across, along, acrossSize, alongSize);
    }
    // (start across, end across, start along, end along)
    CGFloat insetAcrossStart(UIEdgeInsets i) const { return horizontal ? i.top : i.left; }
    CGFloat insetAcrossEnd(UIEdgeInsets i) const { return horizontal ? i.bottom : i.right; }
    CGFloat insetAlongStart(UIEdgeInsets i) const { return horizontal ? i.left : i.top; }
    CGFloat insetAlongEnd(UIEdgeInsets i) const { return horizontal ? i.right : i.bottom; }
};
} // namespace

void UICollectionViewFlowLayout::prepareLayout()
{
    m_items.clear();
    m_supplementary.clear();
    m_contentSize = CGSizeZero;
    auto view = collectionView();
    if (!view)
        return;
    auto* flow = dynamic_cast<UICollectionViewDelegateFlowLayout*>(view->delegate());
    Axis axis { m_scrollDirection == UICollectionViewScrollDirectionHorizontal };
    CGSize bounds = view->bounds().size;
    m_preparedForSize = bounds;
    CGFloat extent = axis.across(bounds);
    CGFloat along = 0;
    int32_t sections = view->numberOfSections();
    for (int32_t s = 0; s < sections; ++s) {
        auto answer = [&](auto value, auto fallback) { return value ? *value : fallback; };
        UIEdgeInsets inset = answer(
            flow ? flow->collectionViewLayoutInsetForSectionAtIndex(view, this, s) : std::nullopt, m_sectionInset);
        CGFloat lineSpacing
            = answer(flow ? flow->collectionViewLayoutMinimumLineSpacingForSectionAtIndex(view, this, s) : std::nullopt,
                m_minimumLineSpacing);
        CGFloat itemSpacing = answer(
            flow ? flow->collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(view, this, s) : std::nullopt,
            m_minimumInteritemSpacing);
        CGSize header
            = answer(flow ? flow->collectionViewLayoutReferenceSizeForHeaderInSection(view, this, s) : std::nullopt,
                m_headerReferenceSize);
        CGSize footer
            = answer(flow ? flow->collectionViewLayoutReferenceSizeForFooterInSection(view, this, s) : std::nullopt,
                m_footerReferenceSize);

        if (axis.along(header) > 0) {
            auto attributes = UICollectionViewLayoutAttributes::layoutAttributesForSupplementaryViewOfKindWithIndexPath(
                UICollectionElementKindSectionHeader, NSIndexPath::indexPathForItemInSection(0, s));
            attributes->setFrame(axis.rect(0, along, extent, axis.along(header)));
            m_supplementary.push_back(attributes);
            along += axis.along(header);
        }
        along += axis.insetAlongStart(inset);

        int32_t count = view->numberOfItemsInSection(s);
        std::vector<Ref<UICollectionViewLayoutAttributes>> items;
        std::vector<CGSize> sizes;
        for (int32_t i = 0; i < count; ++i) {
            auto indexPath = NSIndexPath::indexPathForItemInSection(i, s);
            CGSize size
                = answer(flow ? flow->collectionViewLayoutSizeForItemAtIndexPath(view, this, indexPath) : std::nullopt,
                    m_itemSize);
            sizes.push_back(size);
            items.push_back(UICollectionViewLayoutAttributes::layoutAttributesForCellWithIndexPath(indexPath));
        }
        CGFloat start = axis.insetAcrossStart(inset);
        CGFloat available = std::max<CGFloat>(0, extent - start - axis.insetAcrossEnd(inset));
        CGFloat previousSpacing = itemSpacing;
        int32_t i = 0;
        bool firstLine = true;
        while (i < count) {
            // Fill a line: at least one item, then as many as fit with the minimum spacing.
            int32_t first = i;
            CGFloat used = axis.across(sizes[i]);
            CGFloat depth = axis.along(sizes[i]);
            ++i;
            while (i < count && used + itemSpacing + axis.across(sizes[i]) <= available) {
                used += itemSpacing + axis.across(sizes[i]);
                depth = std::max(depth, axis.along(sizes[i]));
                ++i;
            }
            int32_t n = i - first;
            CGFloat spacing = itemSpacing;
            if (i < count && n > 1)
                spacing = itemSpacing + (available - used) / (n - 1);
            else if (i >= count)
                spacing = previousSpacing;
            previousSpacing = spacing;
            if (!firstLine)
                along += lineSpacing;
            firstLine = false;
            CGFloat across = start;
            for (int32_t k = first; k < i; ++k) {
                CGFloat itemAcross = axis.across(sizes[k]);
                CGFloat itemAlong = axis.along(sizes[k]);
                // Items shorter than their line are centred in it.
                items[k]->setFrame(axis.rect(across, along + (depth - itemAlong) / 2, itemAcross, itemAlong));
                across += itemAcross + spacing;
            }
            along += depth;
        }
        along += axis.insetAlongEnd(inset);
        if (axis.along(footer) > 0) {
            auto attributes = UICollectionViewLayoutAttributes::layoutAttributesForSupplementaryViewOfKindWithIndexPath(
                UICollectionElementKindSectionFooter, NSIndexPath::indexPathForItemInSection(0, s));
            attributes->setFrame(axis.rect(0, along, extent, axis.along(footer)));
            m_supplementary.push_back(attributes);
            along += axis.along(footer);
        }
        m_items.push_back(std::move(items));
    }
    m_contentSize = axis.horizontal ? CGSizeMake(along, extent) : CGSizeMake(extent, along);
}

std::vector<Ref<UICollectionViewLayoutAttributes>> UICollectionViewFlowLayout::layoutAttributesForElementsInRect(
    CGRect rect)
{
    std::vector<Ref<UICollectionViewLayoutAttributes>> result;
    for (const auto& section : m_items) {
        for (const auto& attributes : section) {
            if (CGRectIntersectsRect(attributes->frame(), rect))
                result.push_back(attributes);
        }
    }
    for (const auto& attributes : m_supplementary) {
        if (CGRectIntersectsRect(attributes->frame(), rect))
            result.push_back(attributes);
    }
    return result;
}

Ref<UICollectionViewLayoutAttributes> UICollectionViewFlowLayout::layoutAttributesForItemAtIndexPath(
    const Ref<NSIndexPath>& indexPath)
{
    if (!indexPath)
        return nullptr;
    int32_t s = indexPath->section();
    int32_t i = indexPath->item();
    if (s < 0 || s >= int32_t(m_items.size()) || i < 0 || i >= int32_t(m_items[s].size()))
        return nullptr;
    return m_items[s][i];
}

bool UICollectionViewFlowLayout::shouldInvalidateLayoutForBoundsChange(CGRect newBounds)
{
    Axis axis { m_scrollDirection == UICollectionViewScrollDirectionHorizontal };
    // Lines depend on the extent across the scroll direction only.
    return axis.across(newBounds.size) != axis.across(m_preparedForSize);
}
