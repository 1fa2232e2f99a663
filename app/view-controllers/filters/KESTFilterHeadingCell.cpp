#include "app/view-controllers/filters/KESTFilterHeadingCell.h"

#include "graphics/UIFont.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTFilterHeadingCell);

Ref<KESTFilterHeadingCell> KESTFilterHeadingCell::initWithStyleReuseIdentifier(
    UITableViewCellStyle style, const std::string& reuseIdentifier)
{
    auto cell = makeCell<KESTFilterHeadingCell>(style, reuseIdentifier);
    if (auto label = cell->textLabel())
        label->setFont(UIFont::preferredFontForTextStyle(UIFontTextStyleBody));
    return cell;
}
