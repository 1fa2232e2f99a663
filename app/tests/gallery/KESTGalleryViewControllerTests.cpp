#include "app/view-controllers/gallery/KESTGalleryViewController.h"

#include "app/tests/detail/DetailTestSupport.h"
#include "app/view-controllers/gallery/KESTFullScreenGalleryCell.h"
#include "app/view-controllers/gallery/KESTGalleryFullScreenViewController.h"
#include "app/view-controllers/gallery/KESTNoImageWarningView.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UINib.h"
#include "uikit/UITapGestureRecognizer.h"

#include <gtest/gtest.h>

namespace {

Value photos(int count)
{
    Value list = Value::mutableArray();
    for (int i = 1; i <= count; ++i) {
        std::string id = "p" + std::to_string(i);
        list.addObject(Value::dictionary(
            { { "thumbnail", Value(std::string(DetailTestScope::kBase) + "640thumbs/" + id + ".jpg") },
                { "fullsize", Value(std::string(DetailTestScope::kBase) + "photos/" + id + ".jpg") },
                { "author", Value("Author " + std::to_string(i)) }, { "ningurl", Value("http://page/" + id) } }));
    }
    return list.copy();
}

} // namespace

TEST(KESTGalleryViewController, OpensThePagerOnTheChosenPhotoWithItsCredit)
{
    DetailTestScope scope;
    scope.image("640thumbs/", 64, 48);
    scope.image("photos/", 640, 480);
    auto grid = KESTGalleryViewController::init();
    grid->setPlaneImages(photos(8));
    auto navigation = UINavigationController::initWithRootViewController(grid);
    navigation->view()->setFrame(CGRectMake(0, 0, 540, 620));
    navigation->view()->layoutIfNeeded();
    EXPECT_EQ(grid->title(), "Gallery");
    EXPECT_TRUE(grid->navigationItem()->leftBarButtonItem()) << "the root has a Close button";
    EXPECT_EQ(grid->collectionViewNumberOfItemsInSection(grid->collectionView(), 0), 8);

    grid->collectionViewDidSelectItemAtIndexPath(grid->collectionView(), NSIndexPath::indexPathForItemInSection(4, 0));
    auto pager = std::dynamic_pointer_cast<KESTGalleryFullScreenViewController>(navigation->topViewController());
    ASSERT_TRUE(pager);
    EXPECT_EQ(pager->selectedImage(), 4u);
    navigation->view()->layoutIfNeeded();
    pager->viewDidAppear(false);
    drainAll();
    EXPECT_FALSE(pager->navigationItem()->leftBarButtonItem()) << "pushed from the grid: no Close button";
    EXPECT_TRUE(pager->hasScrolledToInitialImage());
    scope.clock().advance(1);
    ASSERT_TRUE(pager->authorName());
    EXPECT_EQ(pager->authorName()->title(), "© Author 5");
}

TEST(KESTGalleryFullScreenViewController, DoubleTapTogglesZoomAndSharingCreditsThePhoto)
{
    DetailTestScope scope;
    auto objects
        = UINib::nibWithNibNameBundle("KESTFullScreenGalleryCell", nullptr)->instantiateWithOwnerOptions(nullptr, {});
    auto cell = objects.at(0).objectAs<KESTFullScreenGalleryCell>();
    ASSERT_TRUE(cell);
    auto scroll = cell->scrollView();
    cell->handleDoubleTap(nullptr);
    scope.clock().advance(1);
    EXPECT_EQ(scroll->zoomScale(), 6);
    cell->handleDoubleTap(nullptr);
    scope.clock().advance(1);
    EXPECT_EQ(scroll->zoomScale(), 1);
    scroll->setZoomScale(2.5f);
    cell->handleDoubleTap(nullptr);
    scope.clock().advance(1);
    EXPECT_EQ(scroll->zoomScale(), 1);

    UIGraphicsBeginImageContextWithOptions(CGSizeMake(640, 427), true, 1);
    auto photo = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto credited = KESTGalleryFullScreenViewController::creditedImage(photo, "Ann");
    ASSERT_TRUE(credited);
    EXPECT_EQ(credited->size().width, 640);
    EXPECT_EQ(credited->size().height, 427);
}

TEST(KESTNoImageWarningView, NamesTheUploadAddressOverItsImage)
{
    AppTestScope scope;
    auto warning = KESTNoImageWarningView::viewFromNib();
    ASSERT_TRUE(warning);
    warning->setFrame(CGRectMake(0, 0, 300, 36));
    warning->layoutIfNeeded();
    EXPECT_NE(warning->label()->text().find(KESTNoImageWarningView::uploadAddress()), std::string::npos);
    EXPECT_EQ(warning->label()->frame().origin.x, 40);
    EXPECT_EQ(warning->label()->frame().size.width, 268);
}
