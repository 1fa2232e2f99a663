#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"
#include "foundation/Value.h"
#include "uikit/UICollectionView.h"

class NSTimer;
class UIBarButtonItem;
class UIImage;

// The aircraft's photos full screen, one page each, starting at the chosen photo: each page is
// fetched again whenever it is shown, zooms, and carries its photographer's credit in the
// toolbar (refreshed every second while on screen); the share control shares the photo with the
// credit drawn into it. Its view comes from the layout "KESTGalleryFullScreenViewController".
// Main thread only.
class KESTGalleryFullScreenViewController : public KESTBaseViewController,
                                            public UICollectionViewDataSource,
                                            public UICollectionViewDelegateFlowLayout {
    VX_OBJECT(KESTGalleryFullScreenViewController, KESTBaseViewController)
public:
    explicit KESTGalleryFullScreenViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTGalleryFullScreenViewController> initWithImagesSelected(const Value& images, uint32_t selected);

    const Value& planeImages() const { return m_planeImages; }
    uint32_t selectedImage() const { return m_selectedImage; }
    int32_t currentIndex() const { return m_currentIndex; }
    bool hasScrolledToInitialImage() const { return m_hasScrolledToInitialImage; }
    const Ref<NSTimer>& authorTimer() const { return m_authorTimer; }
    const Ref<UICollectionView>& collectionView() const { return m_collectionView; }
    void setCollectionView(Ref<UICollectionView> view) { m_collectionView = std::move(view); }
    const Ref<UIBarButtonItem>& authorName() const { return m_authorName; }
    void setAuthorName(Ref<UIBarButtonItem> item) { m_authorName = std::move(item); }

    void updateAuthor();
    void sharePress(const Ref<NSObject>& sender);
    // The image with "© <author> - <domain>" drawn at (10, 10) in a system font of 3 % of its
    // width.
    static Ref<UIImage> creditedImage(const Ref<UIImage>& image, const std::string& author);

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void willRotateToInterfaceOrientationDuration(UIInterfaceOrientation orientation, double duration) override;
    void didRotateFromInterfaceOrientation(UIInterfaceOrientation orientation) override;

    int32_t collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, int32_t) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(
        const Ref<UICollectionView>&, const Ref<NSIndexPath>&) override;
    void collectionViewDidEndDisplayingCellForItemAtIndexPath(
        const Ref<UICollectionView>&, const Ref<UICollectionViewCell>&, const Ref<NSIndexPath>&) override;
    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(
        const Ref<UICollectionView>&, UICollectionViewLayout*, const Ref<NSIndexPath>&) override;
    std::optional<UIEdgeInsets> collectionViewLayoutInsetForSectionAtIndex(
        const Ref<UICollectionView>&, UICollectionViewLayout*, int32_t) override
    {
        return UIEdgeInsetsMake(0, 0, 40, 0);
    }
    std::optional<CGFloat> collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(
        const Ref<UICollectionView>&, UICollectionViewLayout*, int32_t) override
    {
        return 0;
    }

private:
    Value m_planeImages;
    uint32_t m_selectedImage { 0 };
    int32_t m_currentIndex { 0 };
    bool m_hasScrolledToInitialImage { false };
    Ref<NSTimer> m_authorTimer;
    Ref<UICollectionView> m_collectionView;
    Ref<UIBarButtonItem> m_authorName;
};
