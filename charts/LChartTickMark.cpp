#include "charts/LChartTickMark.h"

#include "charts/LChartTickStyle.h"
#include "foundation/NSString.h"
#include "uikit/UILabel.h"

LChartTickMark::~LChartTickMark()
{
    for (const auto& view :
        { std::static_pointer_cast<UIView>(m_tickLabel), m_tickMarkView, m_gridLineView, m_gridStripeView }) {
        if (view)
            view->removeFromSuperview();
    }
}

Ref<LChartTickMark> LChartTickMark::init()
{
    return make<LChartTickMark>();
}

Ref<LChartTickMark> LChartTickMark::initWithLabelAndText(CGRect frame, const std::string& text)
{
    auto tick = init();
    tick->m_tickLabel = UILabel::initWithFrame(frame);
    tick->m_tickLabel->setUserInteractionEnabled(false);
    tick->m_tickLabel->setText(text);
    return tick;
}

void LChartTickMark::disableTick(const NSObject*)
{
    m_tickEnabled = false;
    removeLabel();
}

void LChartTickMark::removeLabel()
{
    if (m_tickLabel)
        m_tickLabel->removeFromSuperview();
}

void LChartTickMark::removeTickMarkView()
{
    if (m_tickMarkView) {
        m_tickMarkView->removeFromSuperview();
        m_tickMarkView = nullptr;
    }
}

void LChartTickMark::removeGridLineView()
{
    if (m_gridLineView) {
        m_gridLineView->removeFromSuperview();
        m_gridLineView = nullptr;
    }
}

void LChartTickMark::removeGridStripeView()
{
    if (m_gridStripeView) {
        m_gridStripeView->removeFromSuperview();
        m_gridStripeView = nullptr;
    }
}

int LChartTickMark::compareForXAxis(const LChartTickMark& other) const
{
    double a = m_tickMarkX, b = other.m_tickMarkX;
    return a < b ? -1 : (a > b ? 1 : 0);
}

int LChartTickMark::compareForYAxis(const LChartTickMark& other) const
{
    double a = other.m_tickMarkY, b = m_tickMarkY;
    return a < b ? -1 : (a > b ? 1 : 0);
}

void LChartTickMark::styleTickLabel(const LChartTickStyle& style)
{
    if (!m_tickLabel)
        return;
    m_tickLabel->setTextColor(style.labelColor() ? style.labelColor() : UIColor::whiteColor());
    m_tickLabel->setShadowColor(style.labelTextShadowColor());
    if (style.labelFont())
        m_tickLabel->setFont(style.labelFont());
}

std::string LChartTickMark::description() const
{
    return NSObject::description()
        + NSString::stringWithFormat(
            "; isMajor: %s; tick pos: { %2.2f, %2.2f }; overAlternate: %s; value: %2.2f; label: %@;",
            m_isMajor ? "YES" : "NO", m_tickMarkX, m_tickMarkY, m_overAlternateStripe ? "YES" : "NO", m_value,
            m_tickLabel ? m_tickLabel->description() : std::string("(null)"));
}
