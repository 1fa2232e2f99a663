#include "app/view-controllers/detail/KESTAircraftImageViewCell.h"

#include "app/view-controllers/detail/KESTAircraftImageView.h"
#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "foundation/NSBundle.h"
#include "graphics/UIGeometry.h"
#include "uikit/UIImageView.h"

VX_REGISTER_CLASS(KESTAircraftImageViewCell);

void KESTAircraftImageViewCell::awakeFromNib()
{
    if (!m_planeImageView)
        return;
    m_planeImageView->setContentMode(UIViewContentModeScaleAspectFit);
    auto backdrop = KESTAircraftImageView::initWithFrame(frame());
    backdrop->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    contentView()->insertSubviewBelowSubview(backdrop, m_planeImageView);
}

void KESTAircraftImageViewCell::layoutSubviews()
{
    UITableViewCell::layoutSubviews();
    if (m_planeImageView)
        m_planeImageView->setFrame(UIEdgeInsetsInsetRect(bounds(), UIEdgeInsetsMake(20, 16, 20, 16)));
}
