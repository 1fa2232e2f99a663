#include "app/view-controllers/detail/KESTSparkLineViewCell.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "app/widgets/KESTSparkLineView.h"
#include "foundation/NSBundle.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTSparkLineViewCell);

void KESTSparkLineViewCell::awakeFromNib()
{
    KESTDetailCellStyle::headline(m_descriptionLabel);
    KESTDetailCellStyle::body(m_valueLabel);
}

void KESTSparkLineViewCell::setSparkLineView(const Ref<KESTSparkLineView>& sparkLine)
{
    if (sparkLine)
        sparkLine->removeFromSuperview();
    m_sparkLineView = sparkLine;
    if (!sparkLine || !m_sparkLineContainerView)
        return;
    sparkLine->setFrame(m_sparkLineContainerView->bounds());
    m_sparkLineContainerView->addSubview(sparkLine);
    setNeedsLayout();
}

float KESTSparkLineViewCell::currentValue() const
{
    return m_sparkLineView ? m_sparkLineView->currentValue() : 0;
}

void KESTSparkLineViewCell::layoutSubviews()
{
    UITableViewCell::layoutSubviews();
    if (m_sparkLineView && m_sparkLineContainerView)
        m_sparkLineView->setFrame(m_sparkLineContainerView->bounds());
}
