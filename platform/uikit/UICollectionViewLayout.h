#pragma once

#include "uikit/UICollectionViewLayoutAttributes.h"

#include <vector>

class UICollectionView;

// Decides where a collection view's cells go. A collection view calls prepareLayout after the
// layout is invalidated (and on reload), then asks for the content size and the attributes of
// the elements in the visible rect. Subclasses override the four questions. Main thread only.
class UICollectionViewLayout : public NSObject {
    VX_OBJECT(UICollectionViewLayout, NSObject)
public:
    explicit UICollectionViewLayout(Passkey key)
        : NSObject(key)
    {
    }

    Ref<UICollectionView> collectionView() const { return m_collectionView.lock(); }
    virtual void prepareLayout() { }
    virtual CGSize collectionViewContentSize() { return CGSizeZero; }
    virtual std::vector<Ref<UICollectionViewLayoutAttributes>> layoutAttributesForElementsInRect(CGRect) { return {}; }
    virtual Ref<UICollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(const Ref<NSIndexPath>&)
    {
        return nullptr;
    }
    // Paging and flicks end where this answers; by default where they were going.
    virtual CGPoint targetContentOffsetForProposedContentOffsetWithScrollingVelocity(CGPoint proposed, CGPoint)
    {
        return proposed;
    }
    virtual bool shouldInvalidateLayoutForBoundsChange(CGRect) { return false; }
    // Asks the collection view to prepare the layout again before its next use.
    void invalidateLayout();

    // Set by the collection view that uses the layout.
    void setCollectionView(const Ref<UICollectionView>& view) { m_collectionView = view; }
    bool needsPrepare() const { return m_needsPrepare; }
    void setNeedsPrepare(bool v) { m_needsPrepare = v; }

private:
    Weak<UICollectionView> m_collectionView;
    bool m_needsPrepare { true };
};
