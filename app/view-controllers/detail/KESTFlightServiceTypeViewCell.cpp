#include "app/view-controllers/detail/KESTFlightServiceTypeViewCell.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "foundation/NSBundle.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTFlightServiceTypeViewCell);

void KESTFlightServiceTypeViewCell::awakeFromNib()
{
    KESTDetailCellStyle::headline(m_serviceTypeHeaderLabel);
    KESTDetailCellStyle::headline(m_totalSeatsHeaderLabel);
    KESTDetailCellStyle::body(m_serviceTypeValueLabel);
    KESTDetailCellStyle::body(m_totalSeatsValueLabel);
}
