// The photo gallery's layouts: the grid, its thumbnail cell, the full-screen pager with its
// credit toolbar and share control, and the zoomable page.
#include "app/view-controllers/gallery/KESTFullScreenGalleryCell.h"
#include "app/view-controllers/gallery/KESTGalleryCollectionViewCell.h"
#include "app/view-controllers/gallery/KESTGalleryFullScreenViewController.h"
#include "app/view-controllers/gallery/KESTGalleryViewController.h"
#include "graphics/UIColor.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UICollectionViewFlowLayout.h"
#include "uikit/UIImageView.h"
#include "uikit/UINib.h"
#include "uikit/UIToolbar.h"

namespace {

constexpr CGFloat kWidth = 540; // a form sheet
constexpr CGFloat kHeight = 576;

Ref<UICollectionView> collection(CGRect frame)
{
    auto layout = UICollectionViewFlowLayout::init();
    auto view = UICollectionView::initWithFrameCollectionViewLayout(frame, layout);
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    return view;
}

std::vector<Value> buildGallery(const Ref<NSObject>& owner, const Value&)
{
    auto view = UIView::initWithFrame(CGRectMake(0, 0, kWidth, kHeight));
    view->setBackgroundColor(UIColor::whiteColor());
    auto grid = collection(view->bounds());
    view->addSubview(grid);
    if (auto gallery = std::dynamic_pointer_cast<KESTGalleryViewController>(owner)) {
        gallery->setView(view);
        gallery->setCollectionView(grid);
    }
    return { Value(view) };
}

std::vector<Value> buildThumbnail(const Ref<NSObject>&, const Value&)
{
    auto cell = KESTGalleryCollectionViewCell::initWithFrame(CGRectMake(0, 0, 78, 78));
    auto image = UIImageView::initWithFrame(cell->contentView()->bounds());
    image->setContentMode(UIViewContentModeScaleAspectFill);
    image->setClipsToBounds(true);
    image->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    cell->contentView()->addSubview(image);
    cell->setImageView(image);
    return { Value(cell) };
}

std::vector<Value> buildPager(const Ref<NSObject>& owner, const Value&)
{
    auto view = UIView::initWithFrame(CGRectMake(0, 0, kWidth, kHeight));
    view->setBackgroundColor(UIColor::whiteColor());
    auto pager = collection(CGRectMake(0, 0, kWidth, kHeight - 44));
    view->addSubview(pager);
    auto toolbar = UIToolbar::initWithFrame(CGRectMake(0, kHeight - 44, kWidth, 44));
    toolbar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleTopMargin);
    view->addSubview(toolbar);
    auto screen = std::dynamic_pointer_cast<KESTGalleryFullScreenViewController>(owner);
    auto author = UIBarButtonItem::initWithTitleStyleTargetAction("", UIBarButtonItemStylePlain, nullptr, nullptr);
    Weak<KESTGalleryFullScreenViewController> weak = screen;
    auto share = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
        UIBarButtonSystemItemAction, screen, [weak](const Ref<UIBarButtonItem>& sender) {
            if (auto target = weak.lock())
                target->sharePress(sender);
        });
    auto space = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
        UIBarButtonSystemItemFlexibleSpace, nullptr, nullptr);
    toolbar->setItems({ author, space, share });
    if (screen) {
        screen->setView(view);
        screen->setCollectionView(pager);
        screen->setAuthorName(author);
    }
    return { Value(view) };
}

std::vector<Value> buildPage(const Ref<NSObject>&, const Value&)
{
    auto cell = KESTFullScreenGalleryCell::initWithFrame(CGRectMake(0, 0, kWidth, kHeight - 84));
    auto scroll = UIScrollView::initWithFrame(cell->contentView()->bounds());
    scroll->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto image = UIImageView::initWithFrame(scroll->bounds());
    image->setContentMode(UIViewContentModeScaleAspectFit);
    image->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    scroll->addSubview(image);
    cell->contentView()->addSubview(scroll);
    cell->setScrollView(scroll);
    cell->setImage(image);
    cell->awakeFromNib();
    return { Value(cell) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTGalleryViewController", buildGallery);
VX_REGISTER_LAYOUT("KESTGalleryCollectionViewCell", buildThumbnail);
VX_REGISTER_LAYOUT("KESTGalleryFullScreenViewController", buildPager);
VX_REGISTER_LAYOUT("KESTFullScreenGalleryCell", buildPage);
