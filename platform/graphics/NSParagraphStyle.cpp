#include "graphics/NSParagraphStyle.h"

#include "graphics/UIColor.h"

Ref<NSParagraphStyle> NSParagraphStyle::defaultParagraphStyle()
{
    static const Ref<NSParagraphStyle> s_default = make<NSParagraphStyle>();
    return s_default;
}

Ref<NSParagraphStyle> NSParagraphStyle::mutableParagraphStyle()
{
    return make<NSParagraphStyle>();
}

Ref<NSParagraphStyle> NSParagraphStyle::mutableCopy() const
{
    auto copy = make<NSParagraphStyle>();
    copy->m_alignment = m_alignment;
    copy->m_lineBreakMode = m_lineBreakMode;
    copy->m_lineSpacing = m_lineSpacing;
    copy->m_paragraphSpacing = m_paragraphSpacing;
    copy->m_firstLineHeadIndent = m_firstLineHeadIndent;
    copy->m_headIndent = m_headIndent;
    copy->m_tailIndent = m_tailIndent;
    copy->m_minimumLineHeight = m_minimumLineHeight;
    copy->m_maximumLineHeight = m_maximumLineHeight;
    copy->m_lineHeightMultiple = m_lineHeightMultiple;
    return copy;
}

Ref<NSShadow> NSShadow::init()
{
    auto shadow = make<NSShadow>();
    shadow->m_color = UIColor::colorWithWhiteAlpha(0, 1.0f / 3);
    return shadow;
}

VX_REGISTER_CLASS(NSParagraphStyle);
VX_REGISTER_CLASS(NSShadow);
