#include "app/view-controllers/detail/KESTGeneralOverviewViewCell.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "foundation/NSBundle.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTGeneralOverviewViewCell);

void KESTGeneralOverviewViewCell::awakeFromNib()
{
    KESTDetailCellStyle::headline(m_regHeaderLabel);
    KESTDetailCellStyle::headline(m_flightNoHeaderLabel);
    KESTDetailCellStyle::headline(m_callsignHeaderLabel);
    KESTDetailCellStyle::body(m_regValueLabel);
    KESTDetailCellStyle::body(m_flightNoValueLabel);
    KESTDetailCellStyle::body(m_callsignValueLabel);
}
