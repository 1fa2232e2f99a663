#pragma once

#include "foundation/FoundationForward.h"
#include "graphics/CGColor.h"
#include "grid/datagrid/UIColor+hex.h"

#include <optional>
#include <utility>
#include <vector>

class CAGradientLayer;
class LDataGridCellStyle;
class LDataGridLineStyle;
class LDataGridSectionHeaderStyle;
class LGridGradient;
class UIColor;

// One stop of a theme gradient; a list of stops ends with a stop whose alpha is -1.
struct LDataGridGradientStop {
    float location;
    LDataGridColorRecord color;
};

// The data grid's three built-in looks: colours, gradients and a grid line per theme, and the
// default styles made from the current theme (theme 0 unless setInitialTheme chooses another).
// Each style operation makes a new object that the caller keeps; styles already handed out keep
// their colours when the theme changes. Main thread only (the gradient arrays are built once,
// on first use, from any thread).
class LDataGridTheme {
public:
    LDataGridTheme() = delete;

    // The colours (as CGColors) and locations of a stop list; (nullopt, nullopt) for a list
    // that starts with the end stop. Stops with a decreasing location stop the program with
    // "Incorrect ordering for gradient locations".
    using GradientArrays = std::pair<std::optional<std::vector<CGColorRef>>, std::optional<std::vector<CGFloat>>>;
    static GradientArrays setupGradientFromTheme(const LDataGridGradientStop* stops);

    // Themes 0, 1 and 2; any other index is logged and the current theme stays.
    static void setInitialTheme(int32_t theme);
    static int32_t currentTheme();
    // Test-only: back to theme 0.
    static void resetForTesting();

    static Ref<UIColor> initialThemeCellBackgroundColor();
    static Ref<UIColor> initialThemeCellSelectionColor();
    static Ref<UIColor> initialThemeCellBackgroundColorAlternate();
    static Ref<UIColor> initialThemeHeaderCellColor();
    static Ref<UIColor> initialThemeSectionHeaderBackgroundColor();
    static Ref<UIColor> initialThemeHeaderCellFontColor();
    static Ref<UIColor> initialThemeSectionHeaderFontColor();
    static Ref<UIColor> initialThemeCellFontColor();
    static Ref<UIColor> initialThemeSelectedCellFontColor();

    static Ref<LDataGridCellStyle> defaultRowStyle();
    // nullptr for a theme without an alternate cell background (theme 0).
    static Ref<LDataGridCellStyle> defaultAlternatingRowStyle();
    static Ref<LDataGridCellStyle> defaultSelectedCellStyle();
    static Ref<LDataGridCellStyle> defaultHeaderRowStyle();
    static Ref<LDataGridSectionHeaderStyle> defaultSectionHeaderStyle();
    static Ref<LDataGridLineStyle> defaultGridLineStyle();

    // The gradient's colours and locations on the layer; a layer with a zero frame first gets
    // the frame (0, 0, 1, 1); then its shadow path becomes its bounds.
    static void applyGradientToGradientLayer(const Ref<LGridGradient>& gradient, const Ref<CAGradientLayer>& layer);

    // The engine gradient of the current theme's section header gradient.
    static Ref<LGridGradient> sectionHeaderGradient();
};
