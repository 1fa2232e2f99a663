#include "charts/LChartTitle.h"

#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

Ref<LChartTitle> LChartTitle::init()
{
    auto title = makeView<LChartTitle>(CGRectZero);
    title->setFont(UIFont::systemFontOfSize(17));
    title->setTextColor(UIColor::blackColor());
    title->setUserInteractionEnabled(false);
    title->m_userSetFrame = false;
    return title;
}

void LChartTitle::setFrame(CGRect frame)
{
    UILabel::setFrame(frame);
    m_userSetFrame = true;
}

void LChartTitle::setText(const std::string& text)
{
    UILabel::setText(text);
    sizeToFit();
}

void LChartTitle::sizeToFit()
{
    CGPoint centre = center();
    bool placed = m_userSetFrame;
    UILabel::sizeToFit();
    if (placed)
        setCenter(centre);
    else
        setCenter({ centre.x, frame().size.height / 2 });
    m_userSetFrame = placed;
}
