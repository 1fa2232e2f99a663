#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"
#include "foundation/Value.h"
#include "uikit/UICollectionView.h"

// The aircraft's photos as a grid of 78-point thumbnails; a tapped thumbnail opens the
// full-screen pager on that photo. Its view comes from the layout "KESTGalleryViewController".
// Main thread only.
class KESTGalleryViewController : public KESTBaseViewController,
                                  public UICollectionViewDataSource,
                                  public UICollectionViewDelegateFlowLayout {
    VX_OBJECT(KESTGalleryViewController, KESTBaseViewController)
public:
    explicit KESTGalleryViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTGalleryViewController> init();

    const Value& planeImages() const { return m_planeImages; }
    void setPlaneImages(const Value& images) { m_planeImages = images; }
    const Ref<UICollectionView>& collectionView() const { return m_collectionView; }
    void setCollectionView(Ref<UICollectionView> view) { m_collectionView = std::move(view); }

    void viewDidLoad() override;
    int32_t collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, int32_t) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(
        const Ref<UICollectionView>&, const Ref<NSIndexPath>&) override;
    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(
        const Ref<UICollectionView>&, UICollectionViewLayout*, const Ref<NSIndexPath>&) override
    {
        return CGSizeMake(78, 78);
    }
    std::optional<UIEdgeInsets> collectionViewLayoutInsetForSectionAtIndex(
        const Ref<UICollectionView>&, UICollectionViewLayout*, int32_t) override
    {
        return UIEdgeInsetsMake(10, 0, 0, 0);
    }
    std::optional<CGFloat> collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(
        const Ref<UICollectionView>&, UICollectionViewLayout*, int32_t) override
    {
        return 2;
    }
    void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&, const Ref<NSIndexPath>&) override;

private:
    Value m_planeImages;
    Ref<UICollectionView> m_collectionView;
};
