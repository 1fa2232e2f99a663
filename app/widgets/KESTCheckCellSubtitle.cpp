#include "app/widgets/KESTCheckCellSubtitle.h"

#include "app/widgets/KESTToggleButton.h"
#include "graphics/UIColor.h"
#include "uikit/UILabel.h"

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
