#include "app/view-controllers/detail/KESTFlightCapacityViewCell.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "foundation/NSBundle.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTFlightCapacityViewCell);

void KESTFlightCapacityViewCell::awakeFromNib()
{
    KESTDetailCellStyle::headline(m_freightCapacityHeaderLabel);
    KESTDetailCellStyle::headline(m_freightClassesHeaderLabel);
    KESTDetailCellStyle::body(m_freightCapacityValueLabel);
    KESTDetailCellStyle::body(m_freightClassesValueLabel);
}
