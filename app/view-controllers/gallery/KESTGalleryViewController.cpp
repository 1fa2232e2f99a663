#include "app/view-controllers/gallery/KESTGalleryViewController.h"

#include "app/view-controllers/gallery/KESTGalleryCollectionViewCell.h"
#include "app/view-controllers/gallery/KESTGalleryFullScreenViewController.h"
#include "foundation/NSBundle.h"
#include "graphics/UIColor.h"
#include "net/NSURL.h"
#include "networking/UIImageView+VNNetworking.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIImageView.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UINib.h"

VX_REGISTER_CLASS(KESTGalleryViewController);

Ref<KESTGalleryViewController> KESTGalleryViewController::init()
{
    auto gallery = makeController<KESTGalleryViewController>("KESTGalleryViewController", nullptr);
    gallery->setTitle(NSLocalizedString("Gallery"));
    // The content starts below the navigation bar, as the platform's automatic insets would
    // place it.
    gallery->setEdgesForExtendedLayout(UIRectEdgeNone);
    return gallery;
}

void KESTGalleryViewController::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    if (!m_collectionView)
        return;
    m_collectionView->setDataSource(this, weak_from_this());
    m_collectionView->setCollectionDelegate(this, weak_from_this());
    m_collectionView->registerNibForCellWithReuseIdentifier(
        UINib::nibWithNibNameBundle("KESTGalleryCollectionViewCell", nullptr), "KESTGalleryCollectionViewCell");
    auto navigation = navigationController();
    if (navigation && navigation->viewControllers().size() == 1) {
        Weak<KESTGalleryViewController> weak = self<KESTGalleryViewController>();
        navigationItem()->setLeftBarButtonItem(
            UIBarButtonItem::initWithTitleStyleTargetAction(NSLocalizedString("Close"), UIBarButtonItemStylePlain,
                self<KESTGalleryViewController>(), [weak](const Ref<UIBarButtonItem>& sender) {
                    if (auto gallery = weak.lock())
                        gallery->closePress(sender);
                }));
    }
    m_collectionView->setBackgroundColor(UIColor::whiteColor());
}

int32_t KESTGalleryViewController::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, int32_t)
{
    return m_planeImages.isArray() ? static_cast<int32_t>(m_planeImages.count()) : 0;
}

Ref<UICollectionViewCell> KESTGalleryViewController::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& view, const Ref<NSIndexPath>& indexPath)
{
    auto cell = std::dynamic_pointer_cast<KESTGalleryCollectionViewCell>(
        view->dequeueReusableCellWithReuseIdentifierForIndexPath("KESTGalleryCollectionViewCell", indexPath));
    if (!cell)
        return cell;
    cell->setBackgroundColor(UIColor::blackColor());
    const Value& item = m_planeImages.objectAtIndex(static_cast<size_t>(indexPath->item()));
    auto url = NSURL::URLWithString(item.objectForKey("thumbnail").stringValue());
    if (url && cell->imageView())
        UIImageView_VNNetworking::setImageWithURL(cell->imageView(), url);
    return cell;
}

void KESTGalleryViewController::collectionViewDidSelectItemAtIndexPath(
    const Ref<UICollectionView>&, const Ref<NSIndexPath>& indexPath)
{
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(KESTGalleryFullScreenViewController::initWithImagesSelected(
                                                   m_planeImages, static_cast<uint32_t>(indexPath->item())),
            true);
}
