#include "charts/LChartDarkTheme.h"

#include "charts/LChartGreyLook.h"

namespace {
constexpr LChartGreyLook::Greys kGreys { 0.8941f, 0.9f, 0.7412f, 0.6902f, 0.7412f, 0.6471f, 0.8941f, 0.9f, 0.6745f,
    0.1647f, 0.2157f, 0.8941f, 0.6902f, 0.4f, 0.2157f };
}

Ref<LChartDarkTheme> LChartDarkTheme::init()
{
    auto theme = make<LChartDarkTheme>();
    theme->initialiseTheme();
    return theme;
}

void LChartDarkTheme::setFonts()
{
    LChartGreyLook::setFonts(*this);
}

void LChartDarkTheme::setColors()
{
    LChartTheme::setColors();
    LChartGreyLook::setColors(*this, kGreys);
}

void LChartDarkTheme::configureLineSeriesStyle(LChartLineSeriesStyle& style)
{
    LChartTheme::configureLineSeriesStyle(style);
    LChartGreyLook::configureLineSeriesStyle(style, kGreys);
}

void LChartDarkTheme::configureScatterSeriesStyle(LChartScatterSeriesStyle& style)
{
    LChartTheme::configureScatterSeriesStyle(style);
    LChartGreyLook::configureScatterSeriesStyle(style, kGreys);
}

void LChartDarkTheme::configureBarSeriesStyle(LChartBarSeriesStyle& style)
{
    LChartTheme::configureBarSeriesStyle(style);
    style.setUseSeriesSymbols(false);
}

void LChartDarkTheme::configureColumnSeriesStyle(LChartColumnSeriesStyle& style)
{
    LChartTheme::configureColumnSeriesStyle(style);
    style.setUseSeriesSymbols(false);
}
