#include "app/view-controllers/bookmarks/KESTBookmarksCheckCell.h"

#include "app/widgets/KESTToggleButton.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"

VX_REGISTER_CLASS(KESTBookmarksCheckCell);

void KESTBookmarksCheckCell::awakeFromNib()
{
    auto toggle = KESTToggleButton::initWithFrame(CGRectMake(8, 8, 44, 44));
    toggle->setBackgroundColor(UIColor::clearColor());
    toggle->setImageForState(UIImage::imageNamed("toggleHouseChecked"), UIControlStateSelected);
    toggle->setImageForState(UIImage::imageNamed("toggleHouseUnchecked"), UIControlStateNormal);
    m_toggleButton = toggle;
    contentView()->addSubview(toggle);
}
