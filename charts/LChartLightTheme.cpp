#include "charts/LChartLightTheme.h"

#include "charts/LChartGreyLook.h"

namespace {
constexpr LChartGreyLook::Greys kGreys { 0.1451f, 0.9f, 0.1451f, 0.1451f, 0.1451f, 0.8078f, 0.1451f, 1.0f, 0.5765f,
    0.9843f, 0.9412f, 0.1451f, 0.5765f, 0.7f, 0.9412f };
}

Ref<LChartLightTheme> LChartLightTheme::init()
{
    auto theme = make<LChartLightTheme>();
    theme->initialiseTheme();
    return theme;
}

void LChartLightTheme::setFonts()
{
    LChartGreyLook::setFonts(*this);
}

void LChartLightTheme::setColors()
{
    LChartTheme::setColors();
    LChartGreyLook::setColors(*this, kGreys);
}

void LChartLightTheme::configureLineSeriesStyle(LChartLineSeriesStyle& style)
{
    LChartTheme::configureLineSeriesStyle(style);
    LChartGreyLook::configureLineSeriesStyle(style, kGreys);
}

void LChartLightTheme::configureScatterSeriesStyle(LChartScatterSeriesStyle& style)
{
    LChartTheme::configureScatterSeriesStyle(style);
    LChartGreyLook::configureScatterSeriesStyle(style, kGreys);
}

void LChartLightTheme::configureBarSeriesStyle(LChartBarSeriesStyle& style)
{
    LChartTheme::configureBarSeriesStyle(style);
    style.setUseSeriesSymbols(false);
}

void LChartLightTheme::configureColumnSeriesStyle(LChartColumnSeriesStyle& style)
{
    LChartTheme::configureColumnSeriesStyle(style);
    style.setUseSeriesSymbols(false);
}
