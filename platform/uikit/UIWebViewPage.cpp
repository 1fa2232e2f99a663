#include "uikit/UIWebViewPage.h"

#include "foundation/NSString.h"
#include "graphics/CGPath.h"
#include "graphics/CoreText.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

namespace {

constexpr CGFloat kPadding = 8;
constexpr CGFloat kBodySize = 13;

std::string lower(std::string text)
{
    for (auto& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Decodes the entities the pages use in one pass, so "&amp;lt;" reads as "&lt;".
std::string decodeEntities(const std::string& text)
{
    static const std::pair<std::string_view, const char*> s_entities[] = { { "&amp;", "&" }, { "&lt;", "<" },
        { "&gt;", ">" }, { "&quot;", "\"" }, { "&nbsp;", " " }, { "&#39;", "'" } };
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const auto& [entity, replacement] : s_entities) {
                if (text.compare(i, entity.size(), entity) == 0) {
                    decoded += replacement;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            decoded += text[i++];
    }
    return decoded;
}

struct Style {
    int bold = 0;
    int small = 0;
    bool centred = false;
};

Value makeAttributes(const Style& style)
{
    CGFloat size = style.small > 0 ? std::round(kBodySize * 0.83f) : kBodySize;
    auto font = style.bold > 0 ? UIFont::boldSystemFontOfSize(size) : UIFont::systemFontOfSize(size);
    auto paragraph = NSParagraphStyle::mutableParagraphStyle();
    paragraph->setAlignment(style.centred ? NSTextAlignmentCenter : NSTextAlignmentLeft);
    return Value::dictionary({ { Value(kCTFontAttributeName), Value(font) },
        { Value(kCTForegroundColorAttributeName),
            Value(UIColor::colorWithRedGreenBlueAlpha(0x62 / 255.0f, 0x62 / 255.0f, 0x62 / 255.0f, 1)) },
        { Value(kCTParagraphStyleAttributeName), Value(paragraph) } });
}

// The length (UTF-16 units) after which a long page starts a new piece at the next paragraph.
constexpr NSUInteger kChunkLength = 4096;

// The largest minimum height a block may ask for: a page is never taller than this for it.
constexpr CGFloat kLargestMinimumHeight = 10000;

// The block's "min-height:" in points, bounded: a value that is not finite or not positive asks
// for nothing, a huge one for the largest height.
CGFloat minimumHeightIn(const std::string& tag)
{
    auto at = tag.find("min-height:");
    if (at == std::string::npos)
        return 0;
    const char* start = tag.c_str() + at + 11;
    char* end = nullptr;
    double value = std::strtod(start, &end);
    if (end == start || !std::isfinite(value) || value <= 0)
        return 0;
    return CGFloat(std::min<double>(value, kLargestMinimumHeight));
}

} // namespace

UIWebViewPage::UIWebViewPage(const std::string& html)
{
    // The page is built in one pass: text and floats are appended to plain buffers with one
    // attribute run per change of style (attributes made once per style), and the attributed
    // string is made once at the end.
    struct Buffer {
        std::u16string text;
        std::vector<std::pair<NSUInteger, int>> runs; // start, style key
    };
    std::vector<Value> attributesByKey(8);
    auto keyOf = [](const Style& style) {
        return (style.bold > 0 ? 1 : 0) | (style.small > 0 ? 2 : 0) | (style.centred ? 4 : 0);
    };
    auto appendTo = [&](Buffer& buffer, std::u16string_view text, const Style& style) {
        if (text.empty())
            return;
        int key = keyOf(style);
        if (buffer.runs.empty() || buffer.runs.back().second != key)
            buffer.runs.emplace_back(NSUInteger(buffer.text.size()), key);
        buffer.text += text;
    };
    auto attributed = [&](Buffer& buffer) {
        auto result = NSAttributedString::initWithString("");
        std::vector<NSAttributedString::Run> runs;
        for (size_t r = 0; r < buffer.runs.size(); ++r) {
            auto [start, key] = buffer.runs[r];
            NSUInteger end = r + 1 < buffer.runs.size() ? buffer.runs[r + 1].first : NSUInteger(buffer.text.size());
            if (end <= start)
                continue;
            if (attributesByKey[size_t(key)].isNil())
                attributesByKey[size_t(key)]
                    = makeAttributes(Style { (key & 1) ? 1 : 0, (key & 2) ? 1 : 0, (key & 4) != 0 });
            runs.push_back({ start, end - start, attributesByKey[size_t(key)] });
        }
        result->setStringAndRuns(std::move(buffer.text), std::move(runs));
        return result;
    };

    Buffer body;
    std::optional<Buffer> floating;
    std::vector<Style> stack { Style {} };
    std::vector<std::string> openTags;
    bool hidden = false;
    bool inBody = html.find("<body") == std::string::npos;
    NSUInteger paragraphStart = 0;
    auto endsLine = [&] { return body.text.empty() || body.text.back() == u'\n'; };
    auto newLine = [&] {
        if (!endsLine())
            appendTo(body, u"\n", stack.back());
        paragraphStart = NSUInteger(body.text.size());
    };
    auto append = [&](std::string_view text) {
        // Runs of white space show as one space; none at the start of a line.
        std::string collapsed;
        for (char c : text) {
            bool space = std::isspace(static_cast<unsigned char>(c));
            if (space && (collapsed.empty() ? (floating ? false : endsLine()) : collapsed.back() == ' '))
                continue;
            collapsed += space ? ' ' : c;
        }
        if (collapsed.empty() || collapsed == " ")
            return;
        appendTo(floating ? *floating : body, NSString::toUTF16(decodeEntities(collapsed)), stack.back());
    };

    size_t i = 0;
    while (i < html.size()) {
        size_t open = html.find('<', i);
        if (open == std::string::npos)
            open = html.size();
        if (open > i && inBody && !hidden)
            append(std::string_view(html).substr(i, open - i));
        if (open >= html.size())
            break;
        size_t close = html.find('>', open);
        if (close == std::string::npos)
            break;
        std::string tag = html.substr(open + 1, close - open - 1);
        i = close + 1;
        if (tag.rfind("!", 0) == 0)
            continue;
        bool closing = !tag.empty() && tag[0] == '/';
        std::string name = lower(tag.substr(closing ? 1 : 0, tag.find_first_of(" \t\n/", closing ? 1 : 0)));
        if (!closing && name.empty())
            continue;
        std::string attributes = lower(tag);
        if (name == "style" || name == "script" || name == "title" || name == "head") {
            hidden = !closing;
            continue;
        }
        if (name == "body") {
            inBody = !closing;
            continue;
        }
        if (name == "br") {
            appendTo(body, u"\n", stack.back());
            continue;
        }
        bool block = name == "p" || name == "div" || name == "li" || name == "ul" || name == "ol";
        if (closing) {
            if (!stack.empty() && stack.size() > 1 && !openTags.empty() && openTags.back() == name) {
                if (name == "span" && floating) {
                    m_floats.emplace_back(paragraphStart, attributed(*floating));
                    floating.reset();
                }
                stack.pop_back();
                openTags.pop_back();
            }
            if (block)
                newLine();
            continue;
        }
        if (block)
            newLine();
        Style style = stack.back();
        if (name == "b" || name == "strong")
            ++style.bold;
        if (name == "small")
            ++style.small;
        if (name == "div" && attributes.find("text-align:center") != std::string::npos)
            style.centred = true;
        if (CGFloat minimum = minimumHeightIn(attributes); minimum > 0)
            m_minimumHeights.emplace_back(NSUInteger(body.text.size()), minimum);
        if (name == "span" && attributes.find("float:right") != std::string::npos && !floating)
            floating.emplace();
        if (name == "li")
            appendTo(body, u"\u2022 ", style);
        bool selfClosing = !tag.empty() && tag.back() == '/';
        if (!selfClosing) {
            stack.push_back(style);
            openTags.push_back(name);
        }
    }
    // No empty last line.
    size_t kept = body.text.find_last_not_of(u'\n');
    body.text.resize(kept == std::u16string::npos ? 0 : kept + 1);
    while (!body.runs.empty() && body.runs.back().first >= body.text.size())
        body.runs.pop_back();
    m_text = attributed(body);

    // A long page is laid out in pieces of whole paragraphs: one text layout of thousands of
    // paragraphs costs time quadratic in their number, pieces of bounded size cost linear time.
    // A page that fits one piece is laid out whole.
    const std::u16string& text = m_text->utf16();
    NSUInteger start = 0;
    while (start < text.size() || m_chunks.empty()) {
        NSUInteger end = NSUInteger(text.size());
        if (end - start > kChunkLength) {
            size_t cut = text.find(u'\n', start + kChunkLength);
            if (cut != std::u16string::npos)
                end = NSUInteger(cut);
        }
        Chunk chunk;
        chunk.location = start;
        chunk.text
            = start == 0 && end == text.size() ? m_text : m_text->attributedSubstringFromRange({ start, end - start });
        m_chunks.push_back(std::move(chunk));
        start = end + 1; // past the paragraph break between two pieces
    }
}

CGFloat UIWebViewPage::chunkHeight(const Chunk& chunk, CGFloat textWidth) const
{
    if (chunk.text->length() == 0)
        return 0;
    if (!chunk.framesetter)
        chunk.framesetter = CTFramesetterCreateWithAttributedString(chunk.text);
    if (chunk.measuredWidth != textWidth) {
        chunk.measuredWidth = textWidth;
        chunk.measuredHeight = CTFramesetterSuggestFrameSizeWithConstraints(
            chunk.framesetter, { 0, 0 }, Value(), CGSizeMake(textWidth, std::numeric_limits<float>::max()), nullptr)
                                   .height;
    }
    return chunk.measuredHeight;
}

CGFloat UIWebViewPage::textHeightForWidth(CGFloat textWidth) const
{
    CGFloat height = 0;
    for (const auto& chunk : m_chunks)
        height += chunkHeight(chunk, textWidth);
    return height;
}

CGFloat UIWebViewPage::heightForWidth(CGFloat width) const
{
    if (m_text->length() == 0 && m_floats.empty())
        return 0;
    CGFloat textHeight = textHeightForWidth(std::max<CGFloat>(1, width - 2 * kPadding));
    for (const auto& [start, minimum] : m_minimumHeights)
        textHeight = std::max(textHeight, minimum);
    return std::ceil(textHeight + 2 * kPadding);
}

void UIWebViewPage::draw(const CGContextRef& context, CGFloat width, CGFloat height) const
{
    if (!context || m_text->length() == 0)
        return;
    CGFloat textWidth = std::max<CGFloat>(1, width - 2 * kPadding);
    CGFloat textHeight = std::ceil(textHeightForWidth(textWidth));
    // A centred block with a minimum height centres its text vertically too.
    CGFloat top = kPadding;
    for (const auto& [start, minimum] : m_minimumHeights)
        if (start == 0 && minimum > textHeight)
            top += std::floor((minimum - textHeight) / 2);
    CGContextSaveGState(context);
    CGContextTranslateCTM(context, 0, height);
    CGContextScaleCTM(context, 1, -1);
    CGFloat chunkTop = 0;
    for (size_t c = 0; c < m_chunks.size(); ++c) {
        const Chunk& chunk = m_chunks[c];
        CGFloat chunkTextHeight = chunkHeight(chunk, textWidth);
        if (chunk.text->length() == 0)
            continue;
        CGFloat rectHeight = m_chunks.size() == 1 ? textHeight : chunkTextHeight;
        CGRect rect = CGRectMake(kPadding, height - top - chunkTop - rectHeight, textWidth, rectHeight);
        chunkTop += chunkTextHeight;
        auto frame
            = CTFramesetterCreateFrame(chunk.framesetter, { 0, 0 }, CGPathCreateWithRect(rect, nullptr), Value());
        CTFrameDraw(frame, context);
        // Each float sits at the right end of its paragraph's first line.
        NSUInteger next = c + 1 < m_chunks.size() ? m_chunks[c + 1].location : std::numeric_limits<NSUInteger>::max();
        auto lines = CTFrameGetLines(frame);
        auto origins = CTFrameGetLineOrigins(frame, { 0, 0 });
        for (const auto& [paragraph, text] : m_floats) {
            if (paragraph < chunk.location || paragraph >= next)
                continue;
            NSUInteger start = paragraph - chunk.location;
            for (size_t l = 0; l < lines.size(); ++l) {
                NSRange range = CTLineGetStringRange(lines[l]);
                if (range.location + range.length <= start && l + 1 < lines.size())
                    continue;
                auto line = CTLineCreateWithAttributedString(text);
                if (!line)
                    break;
                double floatWidth = CTLineGetTypographicBounds(line, nullptr, nullptr, nullptr);
                CGContextSetTextPosition(
                    context, rect.origin.x + textWidth - CGFloat(floatWidth), rect.origin.y + origins[l].y);
                CTLineDraw(line, context);
                break;
            }
        }
    }
    CGContextRestoreGState(context);
}
