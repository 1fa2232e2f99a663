#pragma once

// The once-per-process warnings for chart layout or drawing asked for off the main thread: one
// flag each for the chart's layout, the canvas' layout and the canvas' drawing, shared by every
// chart view. Any thread.
enum class LChartThreadWarning {
    ChartLayout,
    CanvasLayout,
    CanvasDrawing,
};

// True the first time it is asked for the warning (the caller then logs it), false afterwards.
bool LChartThreadWarningIsDue(LChartThreadWarning warning);
// Lets the next request off the main thread warn again, so tests can run repeatedly.
void LChartResetThreadWarningsForTesting();
