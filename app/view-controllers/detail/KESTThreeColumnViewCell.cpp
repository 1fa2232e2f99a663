#include "app/view-controllers/detail/KESTThreeColumnViewCell.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "foundation/NSBundle.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTThreeColumnViewCell);

void KESTThreeColumnViewCell::awakeFromNib()
{
    KESTDetailCellStyle::headline(m_col1HeaderLabel);
    KESTDetailCellStyle::headline(m_col2HeaderLabel);
    KESTDetailCellStyle::headline(m_col3HeaderLabel);
    KESTDetailCellStyle::body(m_col1ValueLabel);
    KESTDetailCellStyle::body(m_col2ValueLabel);
    KESTDetailCellStyle::body(m_col3ValueLabel);
}
