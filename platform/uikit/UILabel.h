#pragma once

#include "graphics/NSParagraphStyle.h"
#include "uikit/UIView.h"

#include <string>

class UIFont;

// Static text: one line by default, or numberOfLines lines (0: as many as fit) wrapped at the
// bounds' width and centred vertically. With adjustsFontSizeToFitWidth, a single line shrinks
// down to minimumScaleFactor (or minimumFontSize) of its font before it is truncated.
// Main thread only.
class UILabel : public UIView {
    VX_OBJECT(UILabel, UIView)
public:
    explicit UILabel(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UILabel> initWithFrame(CGRect frame);

    const std::string& text() const { return m_text; }
    // Subclasses that keep something in step with the text (their size, say) override it.
    virtual void setText(const std::string& text);
    const Ref<UIFont>& font() const { return m_font; }
    void setFont(const Ref<UIFont>& font);
    const Ref<UIColor>& textColor() const { return m_textColor; }
    void setTextColor(const Ref<UIColor>& color);
    const Ref<UIColor>& highlightedTextColor() const { return m_highlightedTextColor; }
    void setHighlightedTextColor(const Ref<UIColor>& color)
    {
        m_highlightedTextColor = color;
        setNeedsDisplay();
    }
    NSTextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(NSTextAlignment alignment)
    {
        m_alignment = alignment;
        setNeedsDisplay();
    }
    NSLineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(NSLineBreakMode mode)
    {
        m_lineBreakMode = mode;
        setNeedsDisplay();
    }
    int32_t numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int32_t lines)
    {
        m_numberOfLines = lines < 0 ? 0 : lines;
        setNeedsDisplay();
    }
    const Ref<UIColor>& shadowColor() const { return m_shadowColor; }
    void setShadowColor(const Ref<UIColor>& color)
    {
        m_shadowColor = color;
        setNeedsDisplay();
    }
    CGSize shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(CGSize offset)
    {
        m_shadowOffset = offset;
        setNeedsDisplay();
    }
    bool adjustsFontSizeToFitWidth() const { return m_adjustsFontSizeToFitWidth; }
    void setAdjustsFontSizeToFitWidth(bool v)
    {
        m_adjustsFontSizeToFitWidth = v;
        setNeedsDisplay();
    }
    CGFloat minimumScaleFactor() const { return m_minimumScaleFactor; }
    void setMinimumScaleFactor(CGFloat f)
    {
        m_minimumScaleFactor = f;
        setNeedsDisplay();
    }
    CGFloat minimumFontSize() const { return m_minimumFontSize; }
    void setMinimumFontSize(CGFloat size)
    {
        m_minimumFontSize = size;
        setNeedsDisplay();
    }
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool v)
    {
        m_highlighted = v;
        setNeedsDisplay();
    }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool v)
    {
        m_enabled = v;
        setNeedsDisplay();
    }

    // The font the text is drawn with in the current bounds (smaller when shrinking to fit).
    Ref<UIFont> fittedFont() const;
    virtual CGRect textRectForBoundsLimitedToNumberOfLines(CGRect bounds, int32_t numberOfLines) const;
    virtual void drawTextInRect(CGRect rect);
    void drawRect(CGRect rect) override;
    CGSize sizeThatFits(CGSize size) const override;

    Value valueForKey(const std::string& key) override;

private:
    Value attributes(const Ref<UIFont>& font, bool withShadow) const;
    CGRect measuredRect(const Ref<UIFont>& font, CGSize limit, int32_t lines) const;

    std::string m_text;
    Ref<UIFont> m_font;
    Ref<UIColor> m_textColor;
    Ref<UIColor> m_highlightedTextColor;
    NSTextAlignment m_alignment { NSTextAlignmentLeft };
    NSLineBreakMode m_lineBreakMode { NSLineBreakByTruncatingTail };
    int32_t m_numberOfLines { 1 };
    Ref<UIColor> m_shadowColor;
    CGSize m_shadowOffset { 0, -1 };
    bool m_adjustsFontSizeToFitWidth { false };
    CGFloat m_minimumScaleFactor { 0 };
    CGFloat m_minimumFontSize { 0 };
    bool m_highlighted { false };
    bool m_enabled { true };
};
