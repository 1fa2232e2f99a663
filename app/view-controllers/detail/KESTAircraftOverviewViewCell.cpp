#include "app/view-controllers/detail/KESTAircraftOverviewViewCell.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "foundation/NSBundle.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTAircraftOverviewViewCell);

void KESTAircraftOverviewViewCell::awakeFromNib()
{
    if (m_historyButton)
        m_historyButton->setTitleForState(NSLocalizedString("History"), UIControlStateNormal);
    KESTDetailCellStyle::headline(m_aircraftNameLabel);
    KESTDetailCellStyle::body(m_aircraftDetailsLabel);
}
