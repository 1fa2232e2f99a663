#pragma once

// The text engine behind fonts and string drawing (Pango over a private fontconfig set). Only
// graphics sources include this header. Every engine call holds the engine lock.

#include "graphics/UIFont.h"

#include <mutex>
#include <pango/pangocairo.h>

struct UIFont::Face {
    std::string postscriptName;
    std::string family; // the platform family name the font reports
    std::string engineFamily; // the bundled face's family
    PangoWeight weight;
    PangoStyle style;
    bool registered { false };
};

namespace TextEngine {
std::recursive_mutex& lock();
// A layout in a fresh engine context at 72 dpi without hinting. Caller owns the reference.
PangoLayout* createLayout();
PangoFontDescription* fontDescription(const UIFont& font); // caller frees
PangoFontMetrics* metrics(const UIFont& font); // caller unrefs
} // namespace TextEngine
