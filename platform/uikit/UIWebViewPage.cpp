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

namespace {

constexpr CGFloat kPadding = 8;
constexpr CGFloat kBodySize = 13;

std::string lower(std::string text)
{
    for (auto& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string decodeEntities(std::string text)
{
    static const std::pair<const char*, const char*> s_entities[] = { { "&amp;", "&" }, { "&lt;", "<" },
        { "&gt;", ">" }, { "&quot;", "\"" }, { "&nbsp;", " " }, { "&#39;", "'" } };
    for (const auto& [entity, replacement] : s_entities) {
        size_t at = 0;
        while ((at = text.find(entity, at)) != std::string::npos) {
            text.replace(at, std::strlen(entity), replacement);
            at += std::strlen(replacement);
        }
    }
    return text;
}

struct Style {
    int bold = 0;
    int small = 0;
    bool centred = false;
};

Value attributesFor(const Style& style)
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

CGFloat minimumHeightIn(const std::string& tag)
{
    auto at = tag.find("min-height:");
    return at == std::string::npos ? 0 : CGFloat(std::atof(tag.c_str() + at + 11));
}

} // namespace

UIWebViewPage::UIWebViewPage(const std::string& html)
{
    m_text = NSAttributedString::initWithString("");
    Ref<NSAttributedString> floating;
    std::vector<Style> stack { Style {} };
    std::vector<std::string> openTags;
    bool hidden = false;
    bool inBody = html.find("<body") == std::string::npos;
    NSUInteger paragraphStart = 0;
    auto target = [&]() -> Ref<NSAttributedString>& { return floating ? floating : m_text; };
    auto endsLine = [&] {
        const auto& text = m_text->utf16();
        return text.empty() || text.back() == u'\n';
    };
    auto newLine = [&] {
        if (!endsLine()) {
            m_text->appendAttributedString(NSAttributedString::initWithString("\n", attributesFor(stack.back())));
        }
        paragraphStart = m_text->length();
    };
    auto append = [&](std::string text) {
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
        target()->appendAttributedString(
            NSAttributedString::initWithString(decodeEntities(collapsed), attributesFor(stack.back())));
    };

    size_t i = 0;
    while (i < html.size()) {
        size_t open = html.find('<', i);
        if (open == std::string::npos)
            open = html.size();
        if (open > i && inBody && !hidden)
            append(html.substr(i, open - i));
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
            m_text->appendAttributedString(NSAttributedString::initWithString("\n", attributesFor(stack.back())));
            continue;
        }
        bool block = name == "p" || name == "div" || name == "li" || name == "ul" || name == "ol";
        if (closing) {
            if (!stack.empty() && stack.size() > 1 && !openTags.empty() && openTags.back() == name) {
                if (name == "span" && floating) {
                    m_floats.emplace_back(paragraphStart, floating);
                    floating = nullptr;
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
            m_minimumHeights.emplace_back(m_text->length(), minimum);
        if (name == "span" && attributes.find("float:right") != std::string::npos && !floating)
            floating = NSAttributedString::initWithString("");
        if (name == "li")
            m_text->appendAttributedString(NSAttributedString::initWithString("\u2022 ", attributesFor(style)));
        bool selfClosing = !tag.empty() && tag.back() == '/';
        if (!selfClosing) {
            stack.push_back(style);
            openTags.push_back(name);
        }
    }
    // No empty last line.
    while (m_text->length() > 0 && m_text->utf16().back() == u'\n')
        m_text->deleteCharactersInRange({ m_text->length() - 1, 1 });
}

CGFloat UIWebViewPage::heightForWidth(CGFloat width) const
{
    if (m_text->length() == 0 && m_floats.empty())
        return 0;
    CGFloat textHeight = 0;
    if (m_text->length() > 0) {
        auto framesetter = CTFramesetterCreateWithAttributedString(m_text);
        textHeight = CTFramesetterSuggestFrameSizeWithConstraints(framesetter, { 0, 0 }, Value(),
            CGSizeMake(std::max<CGFloat>(1, width - 2 * kPadding), std::numeric_limits<float>::max()), nullptr)
                         .height;
    }
    for (const auto& [start, minimum] : m_minimumHeights)
        textHeight = std::max(textHeight, minimum);
    return std::ceil(textHeight + 2 * kPadding);
}

void UIWebViewPage::draw(const CGContextRef& context, CGFloat width, CGFloat height) const
{
    if (!context || m_text->length() == 0)
        return;
    CGFloat textWidth = std::max<CGFloat>(1, width - 2 * kPadding);
    auto framesetter = CTFramesetterCreateWithAttributedString(m_text);
    CGFloat textHeight = std::ceil(CTFramesetterSuggestFrameSizeWithConstraints(
        framesetter, { 0, 0 }, Value(), CGSizeMake(textWidth, std::numeric_limits<float>::max()), nullptr)
                                       .height);
    // A centred block with a minimum height centres its text vertically too.
    CGFloat top = kPadding;
    for (const auto& [start, minimum] : m_minimumHeights)
        if (start == 0 && minimum > textHeight)
            top += std::floor((minimum - textHeight) / 2);
    CGContextSaveGState(context);
    CGContextTranslateCTM(context, 0, height);
    CGContextScaleCTM(context, 1, -1);
    CGRect rect = CGRectMake(kPadding, height - top - textHeight, textWidth, textHeight);
    auto frame = CTFramesetterCreateFrame(framesetter, { 0, 0 }, CGPathCreateWithRect(rect, nullptr), Value());
    CTFrameDraw(frame, context);
    // Each float sits at the right end of its paragraph's first line.
    auto lines = CTFrameGetLines(frame);
    auto origins = CTFrameGetLineOrigins(frame, { 0, 0 });
    for (const auto& [start, text] : m_floats) {
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
    CGContextRestoreGState(context);
}
