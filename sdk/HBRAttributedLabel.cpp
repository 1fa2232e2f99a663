#include "sdk/HBRAttributedLabel.h"

#include "foundation/NSString.h"
#include "graphics/CGPath.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "net/NSURL.h"
#include "uikit/UITouch.h"

#include <algorithm>
#include <cmath>
#include <limits>

VX_REGISTER_CLASS(HBRAttributedLabel);

namespace {

constexpr CGFloat kUnlimited = std::numeric_limits<float>::max();

// The checking types asked for by the label's data detector bits.
uint64_t checkingTypesFor(uint32_t types)
{
    uint64_t checking = 0;
    if (types & UIDataDetectorTypePhoneNumber)
        checking |= NSTextCheckingTypePhoneNumber;
    if (types & UIDataDetectorTypeLink)
        checking |= NSTextCheckingTypeLink;
    if (types & UIDataDetectorTypeAddress)
        checking |= NSTextCheckingTypeAddress;
    if (types & UIDataDetectorTypeCalendarEvent)
        checking |= NSTextCheckingTypeDate;
    return checking;
}

// Line break mode as the label's paragraph style gives it to the text system.
CTLineTruncationType truncationFor(NSLineBreakMode mode)
{
    return mode == NSLineBreakByTruncatingHead  ? kCTLineTruncationStart
        : mode == NSLineBreakByTruncatingMiddle ? kCTLineTruncationMiddle
                                                : kCTLineTruncationEnd;
}

CTFrameRef frameFor(const CTFramesetterRef& framesetter, CGRect rect)
{
    if (!framesetter)
        return nullptr;
    return CTFramesetterCreateFrame(framesetter, { 0, 0 }, CGPathCreateWithRect(rect, nullptr), Value());
}

// Calls `visit` for each run of the frame with its attributes and its box in the text
// rectangle: from the run's start on its line, as wide as the run (at most the line's image), from
// the descent below the baseline to the ascent above it.
void forEachRunBox(const CTFrameRef& frame, CGRect rect, const CGContextRef& context,
    const std::function<void(const Value& attributes, CGRect box, CGFloat ascent, CGFloat descent)>& visit)
{
    auto lines = CTFrameGetLines(frame);
    auto origins = CTFrameGetLineOrigins(frame, { 0, 0 });
    for (size_t i = 0; i < lines.size(); ++i) {
        CGRect imageBounds = CTLineGetImageBounds(lines[i], context);
        CGPoint origin = origins[i];
        for (const auto& run : CTLineGetGlyphRuns(lines[i])) {
            CGFloat ascent = 0, descent = 0, leading = 0;
            CGFloat width = CGFloat(CTRunGetTypographicBounds(run, { 0, 0 }, &ascent, &descent, &leading));
            NSRange runRange = CTRunGetStringRange(run);
            CGFloat offset = CTLineGetOffsetForStringIndex(lines[i], NSInteger(runRange.location), nullptr);
            CGRect box = CGRectMake(rect.origin.x + origin.x + offset, rect.origin.y + origin.y - descent,
                std::min(width, imageBounds.size.width), ascent + descent);
            visit(CTRunGetAttributes(run), box, ascent, descent);
        }
    }
}

std::vector<CTLineRef> shownLines(const CTFrameRef& frame, int32_t numberOfLines)
{
    auto lines = CTFrameGetLines(frame);
    if (numberOfLines > 0 && size_t(numberOfLines) < lines.size())
        lines.resize(size_t(numberOfLines));
    return lines;
}

} // namespace

Ref<HBRAttributedLabel> HBRAttributedLabel::initWithFrame(CGRect frame)
{
    auto label = makeView<HBRAttributedLabel>(frame);
    label->UILabel::setFont(UIFont::systemFontOfSize(17));
    label->UILabel::setTextColor(UIColor::blackColor());
    label->setContentMode(UIViewContentModeRedraw);
    label->commonInit();
    return label;
}

void HBRAttributedLabel::commonInit()
{
    setUserInteractionEnabled(true);
    setMultipleTouchEnabled(false);
    m_textInsets = UIEdgeInsetsZero;
    m_linkAttributes = Value::dictionary({ { Value(kCTForegroundColorAttributeName), Value(UIColor::blueColor()) },
        { Value(kCTUnderlineStyleAttributeName), Value(int32_t(1)) } });
    m_activeLinkAttributes = Value::dictionary({ { Value(kCTForegroundColorAttributeName), Value(UIColor::redColor()) },
        { Value(kCTUnderlineStyleAttributeName), Value(int32_t(0)) } });
}

Value HBRAttributedLabel::inheritedAttributes() const
{
    auto labelFont = font();
    CTFontRef ctFont = CTFontCreateWithName(labelFont->fontName(), labelFont->pointSize(), nullptr);
    int alignment = 4;
    switch (textAlignment()) {
    case NSTextAlignmentLeft:
        alignment = 0;
        break;
    case NSTextAlignmentRight:
        alignment = 1;
        break;
    case NSTextAlignmentCenter:
        alignment = 2;
        break;
    default:
        break;
    }
    int breakMode = NSLineBreakByWordWrapping;
    if (numberOfLines() == 1 && lineBreakMode() >= 1 && lineBreakMode() <= 5)
        breakMode = lineBreakMode();
    CGFloat adjustment = labelFont->lineHeight() - labelFont->ascender() + labelFont->descender();
    auto style = CTParagraphStyleCreate({
        { kCTParagraphStyleSpecifierAlignment, CGFloat(alignment) },
        { kCTParagraphStyleSpecifierLineBreakMode, CGFloat(breakMode) },
        { kCTParagraphStyleSpecifierLineSpacing, m_leading },
        { kCTParagraphStyleSpecifierLineSpacingAdjustment, adjustment },
        { kCTParagraphStyleSpecifierLineHeightMultiple, m_lineHeightMultiple },
        { kCTParagraphStyleSpecifierFirstLineHeadIndent, m_textInsets.left + m_firstLineIndent },
        { kCTParagraphStyleSpecifierParagraphSpacingBefore, m_textInsets.top },
        { kCTParagraphStyleSpecifierParagraphSpacing, m_textInsets.bottom },
        { kCTParagraphStyleSpecifierHeadIndent, m_textInsets.left },
        { kCTParagraphStyleSpecifierTailIndent, m_textInsets.right },
    });
    return Value::dictionary({ { Value(kCTFontAttributeName), Value(ctFont) },
        { Value(kCTForegroundColorAttributeName), Value(textColor()) },
        { Value(kCTParagraphStyleAttributeName), Value(style) } });
}

void HBRAttributedLabel::setText(const std::string& text)
{
    setTextAfterInheritingLabelAttributesAndConfiguringWithBlock(Value(text), nullptr);
}

void HBRAttributedLabel::setText(const Ref<NSAttributedString>& text)
{
    setAttributedText(text);
    m_links.clear();
    if (m_dataDetectorTypes != 0 && m_dataDetector && m_attributedText) {
        auto found = m_dataDetector->matchesInStringOptionsRange(
            m_attributedText->string(), 0, { 0, m_attributedText->length() });
        // Every link is styled on one copy of the text, set once: a copy per link would make
        // long texts with many links quadratic.
        bool styled = m_linkAttributes.isDictionary() && m_linkAttributes.count() > 0;
        auto copy = styled ? m_attributedText->mutableCopy() : nullptr;
        for (const auto& result : found) {
            m_links.push_back(result);
            NSRange range = result.range();
            if (copy && range.location + range.length <= copy->length())
                copy->addAttributesRange(m_linkAttributes, range);
        }
        if (copy)
            setAttributedText(copy);
    }
    UILabel::setText(m_attributedText ? m_attributedText->string() : std::string());
}

void HBRAttributedLabel::setTextAfterInheritingLabelAttributesAndConfiguringWithBlock(
    const Value& text, const ConfigureBlock& block)
{
    Ref<NSAttributedString> mutableText;
    Value inherited = inheritedAttributes();
    if (auto attributed = text.objectAs<NSAttributedString>()) {
        mutableText = attributed->mutableCopy();
        mutableText->addAttributesRange(inherited, { 0, mutableText->length() });
    } else {
        mutableText = NSAttributedString::initWithString(text.stringValue(), inherited);
    }
    if (block)
        mutableText = block(mutableText);
    setText(mutableText);
}

void HBRAttributedLabel::setAttributedText(const Ref<NSAttributedString>& text)
{
    if (text == m_attributedText || (text && m_attributedText && text->isEqual(m_attributedText.get())))
        return;
    willChangeValueForKey("attributedText");
    m_attributedText = text ? NSAttributedString::initWithAttributedString(text) : nullptr;
    didChangeValueForKey("attributedText");
    setNeedsFramesetter();
    setNeedsDisplay();
}

void HBRAttributedLabel::setDataDetectorTypes(uint32_t types)
{
    willChangeValueForKey("dataDetectorTypes");
    m_dataDetectorTypes = types;
    didChangeValueForKey("dataDetectorTypes");
    if (types != 0)
        m_dataDetector = NSDataDetector::dataDetectorWithTypes(checkingTypesFor(types));
}

Ref<UIColor> HBRAttributedLabel::textColor() const
{
    return UILabel::textColor() ? UILabel::textColor() : UIColor::blackColor();
}

void HBRAttributedLabel::setTextColor(const Ref<UIColor>& color)
{
    auto old = UILabel::textColor();
    UILabel::setTextColor(color);
    if (!old || !UILabel::textColor()->isEqual(old.get())) {
        setNeedsFramesetter();
        setNeedsDisplay();
    }
}

void HBRAttributedLabel::setHighlighted(bool highlighted)
{
    UILabel::setHighlighted(highlighted);
    setNeedsDisplay();
}

Ref<NSAttributedString> HBRAttributedLabel::renderedAttributedText()
{
    if (m_renderedAttributedText || !m_attributedText)
        return m_renderedAttributedText;
    auto color = textColor();
    auto rendered = m_attributedText->mutableCopy();
    if (color) {
        // Runs that take their colour from the context take the label's colour.
        m_attributedText->enumerateAttributeInRange(kCTForegroundColorFromContextAttributeName,
            { 0, m_attributedText->length() }, [&](const Value& value, NSRange range, bool&) {
                if (!value.boolValue())
                    return;
                rendered->removeAttributeRange(kCTForegroundColorFromContextAttributeName, range);
                rendered->addAttributeValueRange(kCTForegroundColorAttributeName, Value(color), range);
            });
    }
    m_renderedAttributedText = rendered;
    return m_renderedAttributedText;
}

void HBRAttributedLabel::setNeedsFramesetter()
{
    m_renderedAttributedText = nullptr;
    m_needsFramesetter = true;
}

CTFramesetterRef HBRAttributedLabel::framesetter() const
{
    if (m_needsFramesetter) {
        std::lock_guard lock(m_framesetterLock);
        auto& self = const_cast<HBRAttributedLabel&>(*this);
        self.m_highlightFramesetter = nullptr;
        auto text = self.renderedAttributedText();
        m_framesetter = text ? CTFramesetterCreateWithAttributedString(text) : nullptr;
        m_needsFramesetter = false;
        ++m_framesetterBuilds;
    }
    return m_framesetter;
}

CTFramesetterRef HBRAttributedLabel::highlightFramesetter()
{
    if (!m_highlightFramesetter && highlightedTextColor()) {
        auto text = renderedAttributedText();
        if (!text)
            return nullptr;
        auto highlighted = text->mutableCopy();
        highlighted->addAttributeValueRange(
            kCTForegroundColorAttributeName, Value(highlightedTextColor()), { 0, highlighted->length() });
        m_highlightFramesetter = CTFramesetterCreateWithAttributedString(highlighted);
    }
    return m_highlightFramesetter;
}

// Links

void HBRAttributedLabel::addLinkWithTextCheckingResultAttributes(
    const NSTextCheckingResult& result, const Value& attributes)
{
    m_links.push_back(result);
    if (attributes.isDictionary() && attributes.count() > 0 && m_attributedText) {
        NSRange range = result.range();
        if (range.location + range.length > m_attributedText->length())
            return;
        auto copy = m_attributedText->mutableCopy();
        copy->addAttributesRange(attributes, range);
        setAttributedText(copy);
    }
}

void HBRAttributedLabel::addLinkWithTextCheckingResult(const NSTextCheckingResult& result)
{
    addLinkWithTextCheckingResultAttributes(result, m_linkAttributes);
}

void HBRAttributedLabel::addLinkToURLWithRange(const Ref<NSURL>& url, NSRange range)
{
    addLinkWithTextCheckingResult(NSDataDetector::linkCheckingResult(range, url ? url->absoluteString() : ""));
}

void HBRAttributedLabel::addLinkToAddressWithRange(
    const std::vector<std::pair<std::string, std::string>>& address, NSRange range)
{
    addLinkWithTextCheckingResult(NSDataDetector::addressCheckingResult(range, address));
}

void HBRAttributedLabel::addLinkToPhoneNumberWithRange(const std::string& number, NSRange range)
{
    addLinkWithTextCheckingResult(NSDataDetector::phoneNumberCheckingResult(range, number));
}

void HBRAttributedLabel::addLinkToDateWithRange(double date, NSRange range)
{
    addLinkWithTextCheckingResult(NSDataDetector::dateCheckingResult(range, date));
}

void HBRAttributedLabel::addLinkToDateTimeZoneDurationWithRange(
    double date, const std::string& timeZone, double duration, NSRange range)
{
    addLinkWithTextCheckingResult(NSDataDetector::dateCheckingResult(range, date, timeZone, duration));
}

std::optional<NSTextCheckingResult> HBRAttributedLabel::linkAtCharacterIndex(NSInteger index) const
{
    if (index < 0 || index == NSInteger(NSNotFound))
        return std::nullopt;
    for (const auto& link : m_links) {
        NSRange range = link.range();
        if (range.length > 0 && NSUInteger(index) >= range.location
            && NSUInteger(index) <= range.location + range.length - 1)
            return link;
    }
    return std::nullopt;
}

std::optional<NSTextCheckingResult> HBRAttributedLabel::linkAtPoint(CGPoint point)
{
    return linkAtCharacterIndex(characterIndexAtPoint(point));
}

NSInteger HBRAttributedLabel::characterIndexAtPoint(CGPoint point)
{
    const NSInteger notFound = NSInteger(NSNotFound);
    if (!CGRectContainsPoint(bounds(), point))
        return notFound;
    CGRect textRect = textRectForBoundsLimitedToNumberOfLines(bounds(), numberOfLines());
    if (!CGRectContainsPoint(textRect, point))
        return notFound;
    // Into the text system's y-up space of the text rectangle.
    point = CGPointMake(point.x - textRect.origin.x, textRect.size.height - (point.y - textRect.origin.y));
    auto frame = frameFor(framesetter(), textRect);
    if (!frame)
        return notFound;
    auto lines = shownLines(frame, numberOfLines());
    if (lines.empty())
        return notFound;
    auto origins = CTFrameGetLineOrigins(frame, { 0, NSUInteger(lines.size()) });
    for (size_t i = 0; i < lines.size(); ++i) {
        CGPoint origin = origins[i];
        CGFloat ascent = 0, descent = 0, leading = 0;
        double width = CTLineGetTypographicBounds(lines[i], &ascent, &descent, &leading);
        if (point.y > std::ceil(origin.y + ascent))
            return notFound;
        if (point.y < std::floor(origin.y - descent) || point.x < origin.x || point.x > origin.x + CGFloat(width))
            continue;
        return CTLineGetStringIndexForPosition(lines[i], CGPointMake(point.x - origin.x, point.y - origin.y));
    }
    return notFound;
}

// Layout

CGRect HBRAttributedLabel::textRectForBoundsLimitedToNumberOfLines(CGRect bounds, int32_t numberOfLines) const
{
    if (!m_attributedText)
        return UILabel::textRectForBoundsLimitedToNumberOfLines(bounds, numberOfLines);
    CGRect textRect = bounds;
    CGSize size = CTFramesetterSuggestFrameSizeWithConstraints(framesetter(), { 0, 0 }, Value(), bounds.size, nullptr);
    size = CGSizeMake(std::ceil(size.width), std::ceil(size.height));
    if (size.height < bounds.size.height) {
        CGFloat d = bounds.size.height - size.height;
        switch (m_verticalAlignment) {
        case Center: {
            CGFloat offset = std::floor(d / 2);
            textRect.origin.y += offset;
            textRect.size.height = size.height + offset;
            break;
        }
        case Bottom:
            textRect.origin.y += d;
            break;
        case Top:
            break;
        default:
            textRect.size.height = size.height;
            break;
        }
    }
    return textRect;
}

CGSize HBRAttributedLabel::sizeThatFits(CGSize size) const
{
    if (!m_attributedText)
        return UILabel::sizeThatFits(size);
    auto setter = framesetter();
    if (!setter)
        return CGSizeZero;
    CGFloat width = numberOfLines() == 1 ? kUnlimited : size.width;
    NSRange range { 0, 0 };
    if (numberOfLines() > 1) {
        // Only the characters of the lines that may show are measured.
        auto frame = frameFor(setter, CGRectMake(0, 0, width, kUnlimited));
        auto lines = CTFrameGetLines(frame);
        if (!lines.empty() && size_t(numberOfLines()) < lines.size()) {
            NSRange last = CTLineGetStringRange(lines[size_t(numberOfLines()) - 1]);
            range = { 0, last.location + last.length };
        }
    }
    CGSize fit = CTFramesetterSuggestFrameSizeWithConstraints(setter, range, Value(), { width, kUnlimited }, nullptr);
    return CGSizeMake(std::ceil(fit.width), std::ceil(fit.height));
}

// Drawing

void HBRAttributedLabel::drawTextInRect(CGRect rect)
{
    if (!m_attributedText) {
        UILabel::drawTextInRect(rect);
        return;
    }
    auto context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    Ref<NSAttributedString> saved;
    if (adjustsFontSizeToFitWidth() && numberOfLines() > 0) {
        CGFloat needed = sizeThatFits(CGSizeZero).width;
        if (numberOfLines() > 1 && lineBreakMode() == NSLineBreakByWordWrapping)
            needed *= CGFloat(M_PI / M_E);
        CGFloat available = frame().size.width * CGFloat(numberOfLines());
        if (needed > 0 && needed > available) {
            saved = m_attributedText;
            auto shrunk = m_attributedText->mutableCopy();
            m_attributedText->enumerateAttributeInRange(
                kCTFontAttributeName, { 0, m_attributedText->length() }, [&](const Value& value, NSRange range, bool&) {
                    auto runFont = value.objectAs<UIFont>();
                    if (!runFont)
                        return;
                    CGFloat size
                        = std::max(std::floor(runFont->pointSize() * available / needed), CGFloat(minimumFontSize()));
                    shrunk->addAttributeValueRange(
                        kCTFontAttributeName, Value(CTFontCreateWithName(runFont->fontName(), size, nullptr)), range);
                });
            setAttributedText(shrunk);
        }
    }

    CGContextSaveGState(context);
    CGAffineTransform identity = CGAffineTransformIdentity;
    CGContextSetTextMatrix(context, identity);
    CGContextTranslateCTM(context, 0, rect.size.height);
    CGContextScaleCTM(context, 1, -1);
    CGRect textRect = textRectForBoundsLimitedToNumberOfLines(rect, numberOfLines());
    CGContextTranslateCTM(context, 0, rect.size.height - textRect.origin.y - textRect.size.height);
    if (shadowColor() && !isHighlighted())
        CGContextSetShadowWithColor(context, shadowOffset(), m_shadowRadius, shadowColor()->CGColor());
    if (isHighlighted() && highlightedTextColor()) {
        auto text = renderedAttributedText()->mutableCopy();
        text->addAttributeValueRange(
            kCTForegroundColorAttributeName, Value(highlightedTextColor()), { 0, text->length() });
        drawFramesetter(highlightFramesetter(), text, textRect, context);
    } else {
        drawFramesetter(framesetter(), renderedAttributedText(), textRect, context);
    }
    CGContextRestoreGState(context);
    if (saved)
        setAttributedText(saved);
}

void HBRAttributedLabel::drawFramesetter(
    const CTFramesetterRef& setter, const Ref<NSAttributedString>& text, CGRect rect, const CGContextRef& context)
{
    auto frame = frameFor(setter, rect);
    if (!frame || !text)
        return;
    drawBackground(frame, rect, context);
    auto lines = shownLines(frame, numberOfLines());
    auto origins = CTFrameGetLineOrigins(frame, { 0, NSUInteger(lines.size()) });
    bool truncates = lineBreakMode() == NSLineBreakByTruncatingHead || lineBreakMode() == NSLineBreakByTruncatingTail
        || lineBreakMode() == NSLineBreakByTruncatingMiddle;
    for (size_t i = 0; i < lines.size(); ++i) {
        CGPoint origin = origins[i];
        CGContextSetTextPosition(context, rect.origin.x + origin.x, rect.origin.y + origin.y);
        NSRange range = CTLineGetStringRange(lines[i]);
        bool last = i + 1 == lines.size();
        if (!last || !truncates || range.location + range.length >= text->length()) {
            CTLineDraw(lines[i], context);
            continue;
        }
        // The last shown line stands for the rest of the text: it ends in a truncation token.
        CTLineTruncationType type = lines.size() == 1 ? truncationFor(lineBreakMode()) : kCTLineTruncationEnd;
        NSUInteger at = type == kCTLineTruncationStart ? range.location
            : type == kCTLineTruncationMiddle          ? range.location + range.length / 2
                                                       : range.location + range.length - 1;
        Value attributes = text->attributesAtIndexEffectiveRange(std::min(at, text->length() - 1), nullptr);
        auto token = CTLineCreateWithAttributedString(NSAttributedString::initWithString("\u2026", attributes));
        auto lineText = text->attributedSubstringFromRange(range)->mutableCopy();
        if (lineText->length() > 0 && lineText->utf16().back() == u'\n')
            lineText->deleteCharactersInRange({ lineText->length() - 1, 1 });
        lineText->appendAttributedString(NSAttributedString::initWithString("\u2026", attributes));
        auto truncated
            = CTLineCreateTruncatedLine(CTLineCreateWithAttributedString(lineText), rect.size.width, type, token);
        CTLineDraw(truncated ? truncated : token, context);
    }
    drawStrike(frame, rect, context);
}

void HBRAttributedLabel::drawBackground(const CTFrameRef& frame, CGRect rect, const CGContextRef& context)
{
    forEachRunBox(frame, rect, context, [&](const Value& attributes, CGRect box, CGFloat, CGFloat) {
        auto fill = attributes[kHBRBackgroundFillColorAttributeName].objectAs<UIColor>();
        auto stroke = attributes[kHBRBackgroundStrokeColorAttributeName].objectAs<UIColor>();
        if (!fill && !stroke)
            return;
        CGFloat cornerRadius = attributes[kHBRBackgroundCornerRadiusAttributeName].floatValue();
        CGFloat lineWidth = attributes[kHBRBackgroundLineWidthAttributeName].floatValue();
        box = CGRectInset(CGRectInset(box, -1, -3), lineWidth, lineWidth);
        auto path = CGPathCreateWithRoundedRect(box, cornerRadius, cornerRadius, nullptr);
        CGContextSetLineJoin(context, kCGLineJoinRound);
        if (fill) {
            CGContextSetFillColorWithColor(context, fill->CGColor());
            CGContextAddPath(context, path);
            CGContextFillPath(context);
        }
        if (stroke) {
            CGContextSetStrokeColorWithColor(context, stroke->CGColor());
            CGContextAddPath(context, path);
            CGContextStrokePath(context);
        }
    });
}

void HBRAttributedLabel::drawStrike(const CTFrameRef& frame, CGRect rect, const CGContextRef& context)
{
    forEachRunBox(frame, rect, context, [&](const Value& attributes, CGRect box, CGFloat ascent, CGFloat descent) {
        if (!attributes[kHBRStrikeOutAttributeName].boolValue())
            return;
        int superscript = attributes["NSSuperScript"].intValue();
        if (superscript == -1)
            box.origin.y += ascent * 0.25f;
        else if (superscript == 1)
            box.origin.y += ascent * -0.47f;
        auto color = attributes[kCTForegroundColorAttributeName].objectAs<UIColor>();
        CGContextSetStrokeColorWithColor(context, (color ? color : UIColor::blackColor())->CGColor());
        CGContextSetLineWidth(context, CTFontGetUnderlineThickness(font()));
        CGFloat y = std::round(box.origin.y + (ascent + descent) / 2);
        CGContextMoveToPoint(context, box.origin.x, y);
        CGContextAddLineToPoint(context, box.origin.x + box.size.width, y);
        CGContextStrokePath(context);
    });
}

// Touches

bool HBRAttributedLabel::sameLink(
    const std::optional<NSTextCheckingResult>& a, const std::optional<NSTextCheckingResult>& b) const
{
    return a && b && a->range().location == b->range().location && a->range().length == b->range().length
        && a->resultType == b->resultType;
}

void HBRAttributedLabel::setLinkActiveWithTextCheckingResult(
    bool active, const std::optional<NSTextCheckingResult>& result)
{
    if (!m_activeLinkAttributes.isDictionary() || m_activeLinkAttributes.count() == 0)
        return;
    if (active && result) {
        if (!m_inactiveAttributedText)
            m_inactiveAttributedText = m_attributedText;
        if (!m_inactiveAttributedText)
            return;
        auto copy = m_inactiveAttributedText->mutableCopy();
        NSRange range = result->range();
        if (range.location + range.length <= copy->length())
            copy->addAttributesRange(m_activeLinkAttributes, range);
        setAttributedText(copy);
        setNeedsDisplay();
    } else if (!active && m_inactiveAttributedText) {
        auto saved = m_inactiveAttributedText;
        m_inactiveAttributedText = nullptr;
        setAttributedText(saved);
        setNeedsDisplay();
    }
}

void HBRAttributedLabel::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    auto touch = touches.empty() ? nullptr : touches.front();
    m_activeLink = touch ? linkAtPoint(touch->locationInView(self<UIView>())) : std::nullopt;
    if (m_activeLink)
        setLinkActiveWithTextCheckingResult(true, m_activeLink);
    else
        UILabel::touchesBegan(touches, event);
}

void HBRAttributedLabel::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (!m_activeLink) {
        UILabel::touchesMoved(touches, event);
        return;
    }
    auto touch = touches.empty() ? nullptr : touches.front();
    auto over = touch ? linkAtPoint(touch->locationInView(self<UIView>())) : std::nullopt;
    setLinkActiveWithTextCheckingResult(sameLink(over, m_activeLink), m_activeLink);
}

void HBRAttributedLabel::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (!m_activeLink) {
        UILabel::touchesEnded(touches, event);
        return;
    }
    auto touch = touches.empty() ? nullptr : touches.front();
    auto over = touch ? linkAtPoint(touch->locationInView(self<UIView>())) : std::nullopt;
    auto link = *m_activeLink;
    m_activeLink.reset();
    if (!sameLink(over, link))
        return;
    setLinkActiveWithTextCheckingResult(false, link);
    notifyDelegate(link);
}

void HBRAttributedLabel::touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (!m_activeLink) {
        UILabel::touchesCancelled(touches, event);
        return;
    }
    m_activeLink.reset();
    setLinkActiveWithTextCheckingResult(false, std::nullopt);
}

void HBRAttributedLabel::notifyDelegate(const NSTextCheckingResult& result)
{
    auto target = delegate();
    if (!target)
        return;
    // Keeps the label alive while its delegate reacts (it may drop the label's screen).
    auto protectedThis = self<HBRAttributedLabel>();
    bool taken = false;
    switch (result.resultType) {
    case NSTextCheckingTypeLink:
        taken = target->attributedLabelDidSelectLinkWithURL(*this, NSURL::URLWithString(result.URL));
        break;
    case NSTextCheckingTypeAddress:
        taken = target->attributedLabelDidSelectLinkWithAddress(*this, result.addressComponents);
        break;
    case NSTextCheckingTypePhoneNumber:
        taken = target->attributedLabelDidSelectLinkWithPhoneNumber(*this, result.phoneNumber);
        break;
    case NSTextCheckingTypeDate:
        if (result.date && !result.timeZone.empty())
            taken = target->attributedLabelDidSelectLinkWithDateTimeZoneDuration(
                *this, *result.date, result.timeZone, result.duration);
        if (!taken && result.date)
            taken = target->attributedLabelDidSelectLinkWithDate(*this, *result.date);
        break;
    default:
        break;
    }
    if (!taken)
        target->attributedLabelDidSelectLinkWithTextCheckingResult(*this, result);
}
