#pragma once

#include "graphics/CGContext.h"
#include "graphics/CGGeometry.h"
#include "graphics/NSAttributedString.h"

#include <string>
#include <utility>
#include <vector>

// The web view's own rendering of a small HTML subset: paragraphs, line breaks, bold and small
// text, lists, centred blocks with a minimum height and spans floated right, in the body font
// of 13 points with 8 points of padding. Everything else shows as its text. Main thread only.
class UIWebViewPage {
public:
    explicit UIWebViewPage(const std::string& html);

    // The height of the page laid out at `width`, padding included; 0 for a page without text.
    CGFloat heightForWidth(CGFloat width) const;
    // Draws the page at the top of a y-down context `width` points wide.
    void draw(const CGContextRef& context, CGFloat width, CGFloat height) const;

private:
    Ref<NSAttributedString> m_text;
    // Text floated right, with the UTF-16 index of its paragraph's start.
    std::vector<std::pair<NSUInteger, Ref<NSAttributedString>>> m_floats;
    // Extra height asked for by blocks with a minimum height, by paragraph start.
    std::vector<std::pair<NSUInteger, CGFloat>> m_minimumHeights;
};
