#pragma once

#include "foundation/Value.h"

#include <string>

// The Nunito faces the chart library carries in its constant data, registered with the
// platform on demand. Main thread only.
class LChartFonts {
public:
    LChartFonts() = delete;

    // Registers the bold, light and regular faces (always all three); YES when all succeeded.
    static bool installNunitoFonts();
    // YES without registering when an installed font's name contains `name`; otherwise
    // registers the font file and answers whether that worked ("Failed to load font: ..." is
    // logged when not).
    static bool installFontFromNSDataWithName(const Value& data, const std::string& name);

    // New data objects holding copies of the stored files.
    static Value NunitoBold();
    static Value NunitoLight();
    static Value NunitoRegular();
};
