#include "uikit/UICollectionReusableView.h"

#include "uikit/UICollectionViewLayoutAttributes.h"

VX_REGISTER_CREATABLE_CLASS(UICollectionReusableView);

void UICollectionReusableView::applyLayoutAttributes(const Ref<UICollectionViewLayoutAttributes>& attributes)
{
    if (!attributes)
        return;
    setFrame(attributes->frame());
    setAlpha(attributes->alpha());
    setHidden(attributes->isHidden());
}
