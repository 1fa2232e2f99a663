#include "app/view-controllers/bookmarks/KESTBookmarksCheckCell.h"
#include "app/view-controllers/bookmarks/KESTBookmarksCreateViewController.h"
#include "app/view-controllers/bookmarks/KESTBookmarksViewController.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "mapkit/MKMapView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UINib.h"
#include "uikit/UITextField.h"

namespace {

// A 59-point row: the house check box (added by the cell) at the left, the name above the
// centre to its right.
std::vector<Value> buildBookmarksCheckCell(const Ref<NSObject>&, const Value&)
{
    auto cell
        = KESTBookmarksCheckCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "KESTBookmarksCheckCell");
    cell->setFrame(CGRectMake(0, 0, 320, 59));
    auto name = UILabel::initWithFrame(CGRectMake(60, 9, 220, 22));
    name->setFont(UIFont::boldSystemFontOfSize(16));
    name->setTextColor(UIColor::blackColor());
    name->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    cell->contentView()->addSubview(name);
    auto location = UILabel::initWithFrame(CGRectMake(60, 31, 220, 18));
    location->setFont(UIFont::systemFontOfSize(12));
    location->setTextColor(UIColor::darkGrayColor());
    location->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    cell->contentView()->addSubview(location);
    cell->setBookmarkNameLabel(name);
    cell->setBookmarkLocationLabel(location);
    cell->awakeFromNib();
    return { Value(cell) };
}

// The list: a table filling the view, and the add button on the left of its navigation item.
std::vector<Value> buildBookmarksViewController(const Ref<NSObject>& owner, const Value&)
{
    CGRect frame = CGRectMake(0, 0, 320, 500);
    auto view = UIView::initWithFrame(frame);
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto table = UITableView::initWithFrameStyle(frame, UITableViewStylePlain);
    table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->addSubview(table);
    if (auto controller = std::dynamic_pointer_cast<KESTBookmarksViewController>(owner)) {
        controller->setView(view);
        controller->setTableView(table);
        Weak<KESTBookmarksViewController> weak = controller;
        controller->navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
            UIBarButtonSystemItemAdd, controller, [weak](const Ref<UIBarButtonItem>& sender) {
                if (auto self = weak.lock())
                    self->addPress(sender);
            }));
    }
    return { Value(view) };
}

// The editor: the name field above a map filling the rest.
std::vector<Value> buildBookmarksCreateViewController(const Ref<NSObject>& owner, const Value&)
{
    CGRect frame = CGRectMake(0, 0, 320, 500);
    auto view = UIView::initWithFrame(frame);
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->setBackgroundColor(UIColor::whiteColor());
    auto field = UITextField::initWithFrame(CGRectMake(10, 10, 300, 31));
    field->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    view->addSubview(field);
    auto map = MKMapView::initWithFrame(CGRectMake(0, 51, 320, 449));
    map->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->addSubview(map);
    if (auto controller = std::dynamic_pointer_cast<KESTBookmarksCreateViewController>(owner)) {
        controller->setView(view);
        controller->setBookmarkNameField(field);
        controller->setMapView(map);
    }
    return { Value(view) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTBookmarksCheckCell", buildBookmarksCheckCell);
VX_REGISTER_LAYOUT("KESTBookmarksViewController", buildBookmarksViewController);
VX_REGISTER_LAYOUT("KESTBookmarksCreateViewController", buildBookmarksCreateViewController);
