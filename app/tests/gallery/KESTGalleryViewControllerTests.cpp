#include "app/view-controllers/gallery/KESTGalleryViewController.h"

#include "app/tests/detail/DetailTestSupport.h"
#include "app/tests/map-markers/MarkerTestSupport.h"
#include "app/view-controllers/gallery/KESTFullScreenGalleryCell.h"
#include "app/view-controllers/gallery/KESTGalleryFullScreenViewController.h"
#include "app/view-controllers/gallery/KESTNoImageWarningView.h"
#include "foundation/NSString.h"
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
            { { "thumbnail",
                  Value(std::string(DetailTestScope::kBase).append("640thumbs/").append(id).append(".jpg")) },
                { "fullsize", Value(std::string(DetailTestScope::kBase).append("photos/").append(id).append(".jpg")) },
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

    // On a white photo the credit is dark ink in one line from (10, 10), about 0.03 of the
    // photo's width high, as long as its text; the rest of the photo is left as it was.
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(640, 427), true, 1);
    CGContextSetRGBFillColor(UIGraphicsGetCurrentContext(), 1, 1, 1, 1);
    UIRectFill(CGRectMake(0, 0, 640, 427));
    auto white = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    struct Ink {
        size_t left { SIZE_MAX }, top { SIZE_MAX }, right { 0 }, bottom { 0 };
    };
    auto inkOf = [](const Ref<UIImage>& image) {
        Pixels pixels = pixelsOf(image->CGImage());
        Ink ink;
        for (size_t y = 0; y < pixels.height; ++y) {
            for (size_t x = 0; x < pixels.width; ++x) {
                uint32_t p = pixels.at(x, y);
                if (Pixels::red(p) > 128 && Pixels::green(p) > 128 && Pixels::blue(p) > 128)
                    continue;
                ink = { std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x), std::max(ink.bottom, y) };
            }
        }
        return ink;
    };
    const double em = 0.03 * 640;
    struct Case {
        const char* author;
    } cases[] = { { "Ann" }, { "Annabelle Longname-Smithson" } };
    size_t shorterRight = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.author);
        auto creditedWhite = KESTGalleryFullScreenViewController::creditedImage(white, c.author);
        ASSERT_TRUE(creditedWhite);
        Ink ink = inkOf(creditedWhite);
        ASSERT_LT(ink.left, ink.right) << "the credit is drawn";
        size_t characters = NSString::length(std::string("\u00a9 ") + c.author + " - volantrix.example");
        EXPECT_GE(ink.left, 10u);
        EXPECT_LE(ink.left, 10 + em / 2);
        EXPECT_GE(ink.top, 10u);
        EXPECT_LE(ink.bottom, 10 + 1.6 * em) << "one line of the credit's size";
        EXPECT_GE(ink.bottom - ink.top, em / 3);
        EXPECT_GE(ink.right, 10 + 0.3 * em * characters);
        EXPECT_LE(ink.right, 10 + 0.8 * em * characters);
        EXPECT_GT(ink.right, shorterRight) << "a longer credit reaches further";
        shorterRight = ink.right;
    }
}

// A photo that arrives after its page has been reused for another photo is not shown there.
TEST(KESTGalleryFullScreenViewController, ALatePhotoDoesNotLandOnAReusedPage)
{
    DetailTestScope scope;
    auto photo = [&](const std::string& id, int side, double delay) {
        UIGraphicsBeginImageContextWithOptions(CGSizeMake(side, side), true, 1);
        auto picture = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        Value png = UIImagePNGRepresentation(picture);
        URLStubSpec spec;
        spec.url = std::string(DetailTestScope::kBase).append("photos/").append(id).append(".jpg");
        spec.headers = { { "Content-Type", "image/png" } };
        spec.body.assign(png.bytes().begin(), png.bytes().end());
        spec.delay = delay;
        scope.stubs().add(spec);
    };
    photo("p1", 11, 10);
    photo("p2", 22, 0);
    photo("p3", 33, 0);
    photo("p4", 44, 0);
    auto pager = KESTGalleryFullScreenViewController::initWithImagesSelected(photos(4), 0);
    auto navigation = UINavigationController::initWithRootViewController(pager);
    navigation->view()->setFrame(CGRectMake(0, 0, 540, 620));
    navigation->view()->layoutIfNeeded();
    drainAll();
    auto pages = pager->collectionView();
    ASSERT_TRUE(pages);
    auto shownSide = [&]() -> CGFloat {
        auto cells = pages->visibleCells();
        if (cells.size() != 1)
            return -1;
        auto page = std::dynamic_pointer_cast<KESTFullScreenGalleryCell>(cells[0]);
        return page && page->image() && page->image()->image() ? page->image()->image()->size().width : 0;
    };
    EXPECT_EQ(shownSide(), 0) << "photo 1 is still on its way";

    // Swiped on to photo 3: page 1's cell is reused.
    pages->setContentOffset(CGPointMake(2 * pages->bounds().size.width, 0));
    pages->layoutIfNeeded();
    drainAll();
    EXPECT_EQ(shownSide(), 33);
    scope.clock().advance(10);
    drainAll();
    EXPECT_EQ(shownSide(), 33) << "photo 1 arrived late";
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
