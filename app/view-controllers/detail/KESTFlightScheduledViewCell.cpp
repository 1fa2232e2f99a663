#include "app/view-controllers/detail/KESTFlightScheduledViewCell.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "foundation/NSBundle.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTFlightScheduledViewCell);

void KESTFlightScheduledViewCell::awakeFromNib()
{
    KESTDetailCellStyle::headline(m_scheduledArrivalDayHeaderLabel);
    KESTDetailCellStyle::headline(m_elapsedJourneyTimeHeaderLabel);
    KESTDetailCellStyle::body(m_scheduledArrivalDayValueLabel);
    KESTDetailCellStyle::body(m_elapsedJourneyTimeValueLabel);
}
