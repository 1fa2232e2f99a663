#include "app/widgets/KESTCheckCellSubtitle.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"

namespace {

// A 66-point row: the check box (added by the cell) at the left, the title above the subtitle
// to its right.
std::vector<Value> buildCheckCellSubtitle(const Ref<NSObject>&, const Value&)
{
    auto cell
        = KESTCheckCellSubtitle::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "KESTCheckCellSubtitle");
    cell->setFrame(CGRectMake(0, 0, 320, 66));
    auto content = cell->contentView();

    auto title = UILabel::initWithFrame(CGRectMake(58, 12, 240, 22));
    title->setFont(UIFont::boldSystemFontOfSize(16));
    title->setTextColor(UIColor::blackColor());
    title->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    content->addSubview(title);

    auto subtitle = UILabel::initWithFrame(CGRectMake(58, 34, 240, 18));
    subtitle->setFont(UIFont::systemFontOfSize(12));
    subtitle->setTextColor(UIColor::darkGrayColor());
    subtitle->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    content->addSubview(subtitle);

    cell->setTitleLabel(title);
    cell->setSubtitleLabel(subtitle);
    cell->awakeFromNib();
    return { Value(cell) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTCheckCellSubtitle", buildCheckCellSubtitle);
