#include "app/view-controllers/detail/KESTSingleColumnViewCell.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "foundation/NSBundle.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTSingleColumnViewCell);

void KESTSingleColumnViewCell::awakeFromNib()
{
    KESTDetailCellStyle::headline(m_headerLabel);
    KESTDetailCellStyle::body(m_valueLabel);
    if (m_valueLabel)
        m_valueLabel->setNumberOfLines(0);
}
