#include "app/view-controllers/filters/KESTFilterAirportCell.h"
#include "app/view-controllers/filters/KESTFilterCreateViewController.h"
#include "app/view-controllers/filters/KESTFilterDataCell.h"
#include "app/view-controllers/filters/KESTFilterRangeSliderCell.h"
#include "app/view-controllers/filters/KESTFilterViewController.h"
#include "foundation/NSBundle.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UINib.h"
#include "uikit/UISegmentedControl.h"
#include "uikit/UITextField.h"
#include "uikit/UIToolbar.h"

namespace {

constexpr UIViewAutoresizing kFill = UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight;

Ref<UITextField> valueField(CGRect frame)
{
    auto field = UITextField::initWithFrame(frame);
    field->setBorderStyle(UITextBorderStyleRoundedRect);
    field->setFont(UIFont::systemFontOfSize(16));
    field->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    return field;
}

// A 44-point value row: the text field across the row, the accessory at the right.
std::vector<Value> buildFilterDataCell(const Ref<NSObject>&, const Value&)
{
    auto cell = KESTFilterDataCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "KESTFilterDataCell");
    cell->setFrame(CGRectMake(0, 0, 320, 44));
    auto field = valueField(CGRectMake(15, 7, 250, 30));
    cell->contentView()->addSubview(field);
    cell->setTextInput(field);
    cell->awakeFromNib();
    return { Value(cell) };
}

// An 88-point airport row: the text field above the direction segments.
std::vector<Value> buildFilterAirportCell(const Ref<NSObject>&, const Value&)
{
    auto cell
        = KESTFilterAirportCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "KESTFilterAirportCell");
    cell->setFrame(CGRectMake(0, 0, 320, 88));
    auto field = valueField(CGRectMake(15, 7, 250, 30));
    cell->contentView()->addSubview(field);
    auto segment = UISegmentedControl::initWithItems({ "Inbound", "Outbound", "Both" });
    segment->setFrame(CGRectMake(15, 46, 250, 30));
    segment->setSelectedSegmentIndex(0);
    cell->contentView()->addSubview(segment);
    cell->setTextInput(field);
    cell->setAirportSegment(segment);
    cell->awakeFromNib();
    return { Value(cell) };
}

// An 88-point range row: the heading at the left, the range text at the right, the slider
// (added by the cell) below them.
std::vector<Value> buildFilterRangeSliderCell(const Ref<NSObject>&, const Value&)
{
    auto cell = KESTFilterRangeSliderCell::initWithStyleReuseIdentifier(
        UITableViewCellStyleDefault, "KESTFilterRangeSliderCell");
    cell->setFrame(CGRectMake(0, 0, 320, 88));
    auto title = UILabel::initWithFrame(CGRectMake(15, 10, 120, 24));
    title->setFont(UIFont::boldSystemFontOfSize(16));
    cell->contentView()->addSubview(title);
    auto range = UILabel::initWithFrame(CGRectMake(135, 10, 170, 24));
    range->setFont(UIFont::systemFontOfSize(14));
    range->setTextColor(UIColor::darkGrayColor());
    range->setTextAlignment(NSTextAlignmentRight);
    range->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    cell->contentView()->addSubview(range);
    cell->setCellTitle(title);
    cell->setCellRange(range);
    cell->awakeFromNib();
    return { Value(cell) };
}

// The list: a table filling the view, the add button on the left of its navigation item.
std::vector<Value> buildFilterViewController(const Ref<NSObject>& owner, const Value&)
{
    CGRect frame = CGRectMake(0, 0, 320, 500);
    auto view = UIView::initWithFrame(frame);
    view->setAutoresizingMask(kFill);
    auto table = UITableView::initWithFrameStyle(frame, UITableViewStylePlain);
    table->setAutoresizingMask(kFill);
    view->addSubview(table);
    if (auto controller = std::dynamic_pointer_cast<KESTFilterViewController>(owner)) {
        controller->setView(view);
        controller->setTableView(table);
        Weak<KESTFilterViewController> weak = controller;
        controller->navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
            UIBarButtonSystemItemAdd, controller, [weak](const Ref<UIBarButtonItem>& sender) {
                if (auto self = weak.lock())
                    self->addPress(sender);
            }));
    }
    return { Value(view) };
}

// The editor: a grouped table down to a toolbar that holds rename, the match count and share.
// The count sits between the buttons, so it covers neither the rows nor the buttons.
std::vector<Value> buildFilterCreateViewController(const Ref<NSObject>& owner, const Value&)
{
    CGRect frame = CGRectMake(0, 0, 320, 500);
    auto view = UIView::initWithFrame(frame);
    view->setAutoresizingMask(kFill);
    view->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(246 / 255.0f, 245 / 255.0f, 241 / 255.0f, 1));
    auto matches = UILabel::initWithFrame(CGRectMake(0, 0, 150, 30));
    matches->setTextAlignment(NSTextAlignmentCenter);
    matches->setFont(UIFont::boldSystemFontOfSize(14));
    matches->setBackgroundColor(UIColor::clearColor());
    auto table = UITableView::initWithFrameStyle(CGRectMake(0, 0, 320, 456), UITableViewStyleGrouped);
    table->setAutoresizingMask(kFill);
    view->addSubview(table);
    auto toolbar = UIToolbar::initWithFrame(CGRectMake(0, 456, 320, 44));
    toolbar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleTopMargin);
    view->addSubview(toolbar);
    if (auto controller = std::dynamic_pointer_cast<KESTFilterCreateViewController>(owner)) {
        controller->setView(view);
        controller->setTableView(table);
        controller->setMatchesLabel(matches);
        Weak<KESTFilterCreateViewController> weak = controller;
        auto rename = UIBarButtonItem::initWithTitleStyleTargetAction(NSLocalizedString("Rename"),
            UIBarButtonItemStyleBordered, controller, [weak](const Ref<UIBarButtonItem>& sender) {
                if (auto self = weak.lock())
                    self->renamePress(sender);
            });
        auto share = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
            UIBarButtonSystemItemAction, controller, [weak](const Ref<UIBarButtonItem>& sender) {
                if (auto self = weak.lock())
                    self->sharePress(sender);
            });
        auto flexible = [] {
            return UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
                UIBarButtonSystemItemFlexibleSpace, nullptr, nullptr);
        };
        toolbar->setItemsAnimated(
            { rename, flexible(), UIBarButtonItem::initWithCustomView(matches), flexible(), share }, false);
        controller->setRenameButton(rename);
        controller->setShareButton(share);
    }
    return { Value(view) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTFilterDataCell", buildFilterDataCell);
VX_REGISTER_LAYOUT("KESTFilterAirportCell", buildFilterAirportCell);
VX_REGISTER_LAYOUT("KESTFilterRangeSliderCell", buildFilterRangeSliderCell);
VX_REGISTER_LAYOUT("KESTFilterViewController", buildFilterViewController);
VX_REGISTER_LAYOUT("KESTFilterCreateViewController", buildFilterCreateViewController);
