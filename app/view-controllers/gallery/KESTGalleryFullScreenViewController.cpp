#include "app/view-controllers/gallery/KESTGalleryFullScreenViewController.h"

#include "app/core/KESTDetailServiceURLs.h"
#include "app/view-controllers/gallery/KESTFullScreenGalleryCell.h"
#include "app/widgets/PHProgressHUD.h"
#include "foundation/NSBundle.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "foundation/NSTimer.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNImageResponseSerializer.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIActivity.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIApplication.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UICollectionViewFlowLayout.h"
#include "uikit/UIImageView.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UINib.h"
#include "uikit/UIPanGestureRecognizer.h"
#include "uikit/UIPinchGestureRecognizer.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UIWindow.h"

VX_REGISTER_CLASS(KESTGalleryFullScreenViewController);

Ref<KESTGalleryFullScreenViewController> KESTGalleryFullScreenViewController::initWithImagesSelected(
    const Value& images, uint32_t selected)
{
    auto pager = makeController<KESTGalleryFullScreenViewController>("KESTGalleryFullScreenViewController", nullptr);
    pager->m_planeImages = images;
    pager->m_selectedImage = selected;
    pager->setEdgesForExtendedLayout(UIRectEdgeNone);
    pager->m_hasScrolledToInitialImage = false;
    return pager;
}

void KESTGalleryFullScreenViewController::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    if (!m_collectionView)
        return;
    m_collectionView->setBackgroundColor(UIColor::whiteColor());
    if (auto window = UIApplication::sharedApplication() ? UIApplication::sharedApplication()->keyWindow() : nullptr)
        view()->setFrame(window->frame());
    m_collectionView->setDataSource(this, weak_from_this());
    m_collectionView->setCollectionDelegate(this, weak_from_this());
    m_collectionView->registerNibForCellWithReuseIdentifier(
        UINib::nibWithNibNameBundle("KESTFullScreenGalleryCell", nullptr), "KESTFullScreenGalleryCell");
    auto navigation = navigationController();
    if (navigation && navigation->viewControllers().size() == 1) {
        Weak<KESTGalleryFullScreenViewController> weak = self<KESTGalleryFullScreenViewController>();
        navigationItem()->setLeftBarButtonItem(
            UIBarButtonItem::initWithTitleStyleTargetAction(NSLocalizedString("Close"), UIBarButtonItemStylePlain,
                self<KESTGalleryFullScreenViewController>(), [weak](const Ref<UIBarButtonItem>& sender) {
                    if (auto pager = weak.lock())
                        pager->closePress(sender);
                }));
    }
    if (auto layout = std::dynamic_pointer_cast<UICollectionViewFlowLayout>(m_collectionView->collectionViewLayout())) {
        layout->setScrollDirection(UICollectionViewScrollDirectionHorizontal);
        layout->setMinimumInteritemSpacing(0);
        layout->setMinimumLineSpacing(0);
    }
    m_collectionView->setPagingEnabled(true);
}

void KESTGalleryFullScreenViewController::viewDidLayoutSubviews()
{
    KESTBaseViewController::viewDidLayoutSubviews();
    if (m_hasScrolledToInitialImage || !m_collectionView
        || int64_t(m_selectedImage) >= m_collectionView->numberOfItemsInSection(0))
        return;
    m_collectionView->layoutIfNeeded();
    m_collectionView->scrollToItemAtIndexPathAtScrollPositionAnimated(
        NSIndexPath::indexPathForItemInSection(static_cast<int32_t>(m_selectedImage), 0),
        UICollectionViewScrollPositionCenteredHorizontally | UICollectionViewScrollPositionCenteredVertically, false);
    m_hasScrolledToInitialImage = true;
}

void KESTGalleryFullScreenViewController::viewDidAppear(bool animated)
{
    KESTBaseViewController::viewDidAppear(animated);
    if (m_authorTimer)
        m_authorTimer->invalidate();
    Weak<KESTGalleryFullScreenViewController> weak = self<KESTGalleryFullScreenViewController>();
    m_authorTimer = NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(1.0, true, [weak](const Ref<NSTimer>&) {
        if (auto pager = weak.lock())
            pager->updateAuthor();
    });
}

void KESTGalleryFullScreenViewController::viewDidDisappear(bool animated)
{
    KESTBaseViewController::viewDidDisappear(animated);
    if (m_authorTimer)
        m_authorTimer->invalidate();
    m_authorTimer = nullptr;
}

void KESTGalleryFullScreenViewController::updateAuthor()
{
    if (!m_collectionView || !m_authorName)
        return;
    auto visible = m_collectionView->indexPathsForVisibleItems();
    if (visible.size() != 1)
        return;
    const Value& item = m_planeImages.objectAtIndex(static_cast<size_t>(visible[0]->item()));
    m_authorName->setTitle(NSString::stringWithFormat("© %@", item.objectForKey("author").stringValue()));
}

Ref<UIImage> KESTGalleryFullScreenViewController::creditedImage(const Ref<UIImage>& image, const std::string& author)
{
    if (!image)
        return nullptr;
    CGSize size = image->size();
    std::string credit = NSString::stringWithFormat("© %@ - ", author) + KESTDetailServiceURLs::webDomain();
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    image->drawAtPoint(CGPointMake(0, 0));
    NSString_Drawing::drawAtPoint(credit, CGPointMake(10, 10),
        Value::dictionary({ { NSFontAttributeName, Value::object(UIFont::systemFontOfSize(0.03f * size.width)) } }));
    auto result = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return result;
}

void KESTGalleryFullScreenViewController::sharePress(const Ref<NSObject>&)
{
    if (!m_collectionView)
        return;
    auto visible = m_collectionView->indexPathsForVisibleItems();
    auto cells = m_collectionView->visibleCells();
    if (visible.size() != 1 || cells.size() != 1)
        return;
    auto cell = std::dynamic_pointer_cast<KESTFullScreenGalleryCell>(cells[0]);
    const Value& item = m_planeImages.objectAtIndex(static_cast<size_t>(visible[0]->item()));
    std::string author = item.objectForKey("author").stringValue();
    auto image = creditedImage(cell && cell->image() ? cell->image()->image() : nullptr, author);
    std::vector<Value> items;
    if (auto url = NSURL::URLWithString(item.objectForKey("ningurl").stringValue()))
        items.push_back(Value::object(url));
    items.push_back(
        Value(NSString::stringWithFormat(NSLocalizedString("Check out this photo taken by %@ in @volantrix"), author)));
    if (image)
        items.push_back(Value::object(image));
    auto sheet = UIActivityViewController::initWithActivityItemsApplicationActivities(items, {});
    sheet->setExcludedActivityTypes({ UIActivityTypeAssignToContact });
    presentViewControllerAnimatedCompletion(sheet, true, nullptr);
}

void KESTGalleryFullScreenViewController::willRotateToInterfaceOrientationDuration(UIInterfaceOrientation, double)
{
    if (!m_collectionView)
        return;
    m_collectionView->setAlpha(0);
    m_collectionView->collectionViewLayout()->invalidateLayout();
    CGFloat width = m_collectionView->frame().size.width;
    m_currentIndex = width > 0 ? static_cast<int32_t>(m_collectionView->contentOffset().x / width) : 0;
}

void KESTGalleryFullScreenViewController::didRotateFromInterfaceOrientation(UIInterfaceOrientation)
{
    if (!m_collectionView)
        return;
    m_collectionView->setContentOffset(CGPointMake(m_collectionView->bounds().size.width * m_currentIndex, 0));
    auto pager = m_collectionView;
    UIView::animateWithDuration(0.125, [pager] { pager->setAlpha(1); });
}

int32_t KESTGalleryFullScreenViewController::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, int32_t)
{
    return m_planeImages.isArray() ? static_cast<int32_t>(m_planeImages.count()) : 0;
}

std::optional<CGSize> KESTGalleryFullScreenViewController::collectionViewLayoutSizeForItemAtIndexPath(
    const Ref<UICollectionView>& view, UICollectionViewLayout*, const Ref<NSIndexPath>&)
{
    return view->frame().size;
}

Ref<UICollectionViewCell> KESTGalleryFullScreenViewController::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& view, const Ref<NSIndexPath>& indexPath)
{
    auto cell = std::dynamic_pointer_cast<KESTFullScreenGalleryCell>(
        view->dequeueReusableCellWithReuseIdentifierForIndexPath("KESTFullScreenGalleryCell", indexPath));
    if (!cell)
        return cell;
    const Value& item = m_planeImages.objectAtIndex(static_cast<size_t>(indexPath->item()));
    std::string address = item.objectForKey("fullsize").stringValue();
    auto url = NSURL::URLWithString(address);
    auto root = this->view();
    // The page may have shown another photo, whose answer may still come: it is dropped.
    cell->setPhotoAddress(address);
    if (url) {
        PHProgressHUD::showHUDAddedToAnimated(root, true);
        auto operation = VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(url));
        operation->setResponseSerializer(VNImageResponseSerializer::serializer());
        Weak<KESTFullScreenGalleryCell> weakCell = cell;
        Weak<UIView> weakRoot = root;
        operation->setCompletionBlockWithSuccessFailure(
            [weakCell, weakRoot, address](const Ref<VNHTTPRequestOperation>&, const Value& answer) {
                if (auto target = weakCell.lock(); target && target->image() && target->photoAddress() == address)
                    target->image()->setImage(answer.objectAs<UIImage>());
                if (auto hudRoot = weakRoot.lock())
                    PHProgressHUD::hideAllHUDsForViewAnimated(hudRoot, true);
            },
            [weakRoot](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&) {
                if (auto hudRoot = weakRoot.lock())
                    PHProgressHUD::hideAllHUDsForViewAnimated(hudRoot, true);
            });
        auto queue = NSOperationQueue::init();
        queue->addOperation(operation);
    }
    if (cell->scrollView()) {
        if (auto pinch = cell->scrollView()->pinchGestureRecognizer())
            view->addGestureRecognizer(pinch);
        view->addGestureRecognizer(cell->scrollView()->panGestureRecognizer());
    }
    if (cell->doubleTap())
        view->addGestureRecognizer(cell->doubleTap());
    return cell;
}

void KESTGalleryFullScreenViewController::collectionViewDidEndDisplayingCellForItemAtIndexPath(
    const Ref<UICollectionView>& view, const Ref<UICollectionViewCell>& cell, const Ref<NSIndexPath>&)
{
    auto page = std::dynamic_pointer_cast<KESTFullScreenGalleryCell>(cell);
    if (!page)
        return;
    if (page->scrollView()) {
        if (auto pinch = page->scrollView()->pinchGestureRecognizer())
            view->removeGestureRecognizer(pinch);
        view->removeGestureRecognizer(page->scrollView()->panGestureRecognizer());
    }
    if (page->doubleTap())
        view->removeGestureRecognizer(page->doubleTap());
    if (page->image())
        page->image()->setImage(nullptr);
}
