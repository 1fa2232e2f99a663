#pragma once

#include "graphics/CGContext.h"
#include "graphics/CGGeometry.h"
#include "graphics/CoreText.h"
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
    // A piece of the text laid out on its own: whole paragraphs, from `location` in m_text.
    struct Chunk {
        NSUInteger location { 0 };
        Ref<NSAttributedString> text;
        mutable CTFramesetterRef framesetter;
        mutable CGFloat measuredWidth { -1 };
        mutable CGFloat measuredHeight { 0 };
    };
    // A piece's laid-out height at `textWidth`, measured once per width.
    CGFloat chunkHeight(const Chunk& chunk, CGFloat textWidth) const;
    // The laid-out height of the whole text at `textWidth`.
    CGFloat textHeightForWidth(CGFloat textWidth) const;

    Ref<NSAttributedString> m_text;
    std::vector<Chunk> m_chunks;
    // Text floated right, with the UTF-16 index of its paragraph's start.
    std::vector<std::pair<NSUInteger, Ref<NSAttributedString>>> m_floats;
    // Extra height asked for by blocks with a minimum height, by paragraph start.
    std::vector<std::pair<NSUInteger, CGFloat>> m_minimumHeights;
};
