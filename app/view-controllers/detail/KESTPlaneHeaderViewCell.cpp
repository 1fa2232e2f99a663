#include "app/view-controllers/detail/KESTPlaneHeaderViewCell.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "app/view-controllers/gallery/KESTNoImageWarningView.h"
#include "app/widgets/KESTGradientView.h"
#include "foundation/NSBundle.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTPlaneHeaderViewCell);

void KESTPlaneHeaderViewCell::awakeFromNib()
{
    if (m_noImageView)
        m_noImageView->setHidden(true);
    if (m_dimmerView)
        m_dimmerView->setHidden(true);
    if (m_gradientView)
        KESTDetailCellStyle::applyBlueGradient(m_gradientView);
    KESTDetailCellStyle::headline(m_aircraftLabel);
    KESTDetailCellStyle::body(m_updateTimestampLabel);
}
