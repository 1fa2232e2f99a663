#include "grid/LGridLineStyle.h"

#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "grid/LatticeGridLog.h"

Ref<LGridLineStyle> LGridLineStyle::init()
{
    return initWithWidthWithColor(1.0f, UIColor::darkGrayColor());
}

Ref<LGridLineStyle> LGridLineStyle::initWithWidthWithColor(float width, const Ref<UIColor>& color)
{
    auto style = make<LGridLineStyle>();
    style->initialise(width, color);
    return style;
}

void LGridLineStyle::initialise(float width, const Ref<UIColor>& color)
{
    setColor(color);
    setWidth(width);
}

void LGridLineStyle::setWidth(float width)
{
    if (width < 0) {
        LatticeGridLog::logMessageFromSource(
            NSString::stringWithFormat(
                "gridLineWidth cannot be less than 0. Previous value of %f will be used.", m_width),
            this);
        return;
    }
    m_width = width;
}

std::string LGridLineStyle::description() const
{
    return NSString::stringWithFormat(
        "[%@ width:%f, color:%@]", "LGridLineStyle", m_width, m_color ? m_color->description() : std::string("(null)"));
}
