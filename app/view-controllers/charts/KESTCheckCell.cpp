#include "app/view-controllers/charts/KESTCheckCell.h"

#include "app/widgets/KESTToggleButton.h"
#include "graphics/UIColor.h"

VX_REGISTER_CLASS(KESTCheckCell);

void KESTCheckCell::awakeFromNib()
{
    auto toggle = KESTToggleButton::initWithFrame(CGRectMake(6, 0, 44, 44));
    toggle->setBackgroundColor(UIColor::clearColor());
    setToggleButton(toggle);
    contentView()->addSubview(toggle);
}
