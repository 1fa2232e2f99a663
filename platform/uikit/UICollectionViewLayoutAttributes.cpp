#include "uikit/UICollectionViewLayoutAttributes.h"

VX_REGISTER_CLASS(UICollectionViewLayoutAttributes);

Ref<UICollectionViewLayoutAttributes> UICollectionViewLayoutAttributes::layoutAttributesForCellWithIndexPath(
    const Ref<NSIndexPath>& indexPath)
{
    auto attributes = make<UICollectionViewLayoutAttributes>();
    attributes->m_indexPath = indexPath;
    return attributes;
}

Ref<UICollectionViewLayoutAttributes>
UICollectionViewLayoutAttributes::layoutAttributesForSupplementaryViewOfKindWithIndexPath(
    const std::string& kind, const Ref<NSIndexPath>& indexPath)
{
    auto attributes = layoutAttributesForCellWithIndexPath(indexPath);
    attributes->m_category = UICollectionElementCategorySupplementaryView;
    attributes->m_kind = kind;
    return attributes;
}
