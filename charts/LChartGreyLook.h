#pragma once

#include "charts/LChartTheme.h"

// The look the light and dark themes share: Nunito (or Thonburi) fonts, greys on a plain
// background, and the same series colours. The two themes differ only in their greys.
namespace LChartGreyLook {

struct Greys {
    float titleText, titleTextAlpha;
    float axisTitleText;
    float tickLine;
    float tickLabel;
    float gridLine;
    float legendText, legendTextAlpha;
    float legendBorder;
    float background;
    float plotArea;
    float loadingIndicator;
    float plotBorder;
    float lineGradientAlpha;
    // The inner colour of markers.
    float markerInner;
};

void setFonts(LChartTheme& theme);
void setColors(LChartTheme& theme, const Greys& greys);
void configureLineSeriesStyle(LChartLineSeriesStyle& style, const Greys& greys);
void configureScatterSeriesStyle(LChartScatterSeriesStyle& style, const Greys& greys);

} // namespace LChartGreyLook
