#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

enum NSTextAlignment : int32_t {
    NSTextAlignmentLeft = 0,
    NSTextAlignmentCenter = 1,
    NSTextAlignmentRight = 2,
    NSTextAlignmentJustified = 3,
    NSTextAlignmentNatural = 4,
};

enum NSLineBreakMode : int32_t {
    NSLineBreakByWordWrapping = 0,
    NSLineBreakByCharWrapping,
    NSLineBreakByClipping,
    NSLineBreakByTruncatingHead,
    NSLineBreakByTruncatingTail,
    NSLineBreakByTruncatingMiddle,
};

// Paragraph layout settings of attributed text. Made mutable with the Mutable factory; any
// thread once shared.
class NSParagraphStyle : public NSObject {
    VX_OBJECT(NSParagraphStyle, NSObject)
public:
    explicit NSParagraphStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<NSParagraphStyle> defaultParagraphStyle();
    static Ref<NSParagraphStyle> mutableParagraphStyle();
    Ref<NSParagraphStyle> mutableCopy() const;

    NSTextAlignment alignment() const { return m_alignment; }
    void setAlignment(NSTextAlignment v) { m_alignment = v; }
    NSLineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(NSLineBreakMode v) { m_lineBreakMode = v; }
    CGFloat lineSpacing() const { return m_lineSpacing; }
    void setLineSpacing(CGFloat v) { m_lineSpacing = v; }
    CGFloat paragraphSpacing() const { return m_paragraphSpacing; }
    void setParagraphSpacing(CGFloat v) { m_paragraphSpacing = v; }
    CGFloat firstLineHeadIndent() const { return m_firstLineHeadIndent; }
    void setFirstLineHeadIndent(CGFloat v) { m_firstLineHeadIndent = v; }
    CGFloat headIndent() const { return m_headIndent; }
    void setHeadIndent(CGFloat v) { m_headIndent = v; }
    CGFloat tailIndent() const { return m_tailIndent; }
    void setTailIndent(CGFloat v) { m_tailIndent = v; }
    CGFloat minimumLineHeight() const { return m_minimumLineHeight; }
    void setMinimumLineHeight(CGFloat v) { m_minimumLineHeight = v; }
    CGFloat maximumLineHeight() const { return m_maximumLineHeight; }
    void setMaximumLineHeight(CGFloat v) { m_maximumLineHeight = v; }
    CGFloat lineHeightMultiple() const { return m_lineHeightMultiple; }
    void setLineHeightMultiple(CGFloat v) { m_lineHeightMultiple = v; }

private:
    NSTextAlignment m_alignment { NSTextAlignmentNatural };
    NSLineBreakMode m_lineBreakMode { NSLineBreakByWordWrapping };
    CGFloat m_lineSpacing { 0 };
    CGFloat m_paragraphSpacing { 0 };
    CGFloat m_firstLineHeadIndent { 0 };
    CGFloat m_headIndent { 0 };
    CGFloat m_tailIndent { 0 };
    CGFloat m_minimumLineHeight { 0 };
    CGFloat m_maximumLineHeight { 0 };
    CGFloat m_lineHeightMultiple { 0 };
};

class UIColor;

// A text shadow: offset, blur radius and colour (one third black by default).
class NSShadow : public NSObject {
    VX_OBJECT(NSShadow, NSObject)
public:
    explicit NSShadow(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<NSShadow> init();
    CGSize shadowOffset() const { return m_offset; }
    void setShadowOffset(CGSize v) { m_offset = v; }
    CGFloat shadowBlurRadius() const { return m_blur; }
    void setShadowBlurRadius(CGFloat v) { m_blur = v; }
    const Ref<UIColor>& shadowColor() const { return m_color; }
    void setShadowColor(Ref<UIColor> v) { m_color = std::move(v); }

private:
    CGSize m_offset {};
    CGFloat m_blur { 0 };
    Ref<UIColor> m_color;
};

// Attribute names of attributed text, as the platform spells them.
inline constexpr const char* NSFontAttributeName = "NSFont";
inline constexpr const char* NSForegroundColorAttributeName = "NSColor";
inline constexpr const char* NSBackgroundColorAttributeName = "NSBackgroundColor";
inline constexpr const char* NSParagraphStyleAttributeName = "NSParagraphStyle";
inline constexpr const char* NSShadowAttributeName = "NSShadow";
inline constexpr const char* NSKernAttributeName = "NSKern";
inline constexpr const char* NSUnderlineStyleAttributeName = "NSUnderline";
inline constexpr const char* NSStrikethroughStyleAttributeName = "NSStrikethrough";
inline constexpr const char* NSLinkAttributeName = "NSLink";
