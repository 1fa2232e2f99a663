#include "KESTCheckCellSubtitle.h"

#include "KESTToggleButton.h"
#include "UIColor.h"
#include "UILabel.h"

VX_REGISTER_CLASS(KESTCheckCellSubtitle);

void KESTCheckCellSubtitle::awakeFromNib()
{
    m_toggleButton = KESTToggleButton::initWithFrame(CGRectMake(6, 11, 44, 44));
    m_toggleButton->setBackgroundColor(UIColor::clearColor());
    contentView()->addSubview(m_toggleButton);
}

void KESTCheckCellSubtitle::setSelectedAnimated(bool selected, bool animated)
{
    UITableViewCell::setSelectedAnimated(selected, animated);
}
