#include "app/view-controllers/charts/KESTCheckCell.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"

namespace {

// A 44-point row: the check box (added by the cell) at the left, the title to its right.
std::vector<Value> buildCheckCell(const Ref<NSObject>&, const Value&)
{
    auto cell = KESTCheckCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "KESTCheckCell");
    cell->setFrame(CGRectMake(0, 0, 320, 44));
    auto title = UILabel::initWithFrame(CGRectMake(58, 11, 240, 22));
    title->setFont(UIFont::systemFontOfSize(16));
    title->setTextColor(UIColor::blackColor());
    title->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    cell->contentView()->addSubview(title);
    cell->setTitleLabel(title);
    cell->awakeFromNib();
    return { Value(cell) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTCheckCell", buildCheckCell);
