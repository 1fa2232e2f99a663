#pragma once

#include "foundation/NSObject.h"
#include "graphics/UIGeometry.h"
#include "grid/GridForward.h"

class UIColor;
class UIFont;

// The look of a cell: colours, font, alignments, content inset and gradient. A field counts as
// chosen when it is non-null (colours, font, gradient) or when its set-by-user flag is raised
// (the alignments and the inset): public setters raise the flag, the "Privately" setters carry
// a value without choosing it, and merging lets only chosen values override. Main thread only.
class LGridCellStyle : public NSObject {
    VX_OBJECT(LGridCellStyle, NSObject)
public:
    explicit LGridCellStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LGridCellStyle> init();
    // No flag is raised; the alignments stay 0.
    static Ref<LGridCellStyle> initWithBackgroundColorWithTextColorWithFont(
        const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, const Ref<UIFont>& font);
    // Both alignments are set through their public setters, so both are chosen.
    static Ref<LGridCellStyle> initWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
        const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, int32_t textAlignment,
        int32_t verticalTextAlignment, const Ref<UIFont>& font);
    static Ref<LGridCellStyle> styleWithBackgroundColorWithTextColorWithFont(
        const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, const Ref<UIFont>& font)
    {
        return initWithBackgroundColorWithTextColorWithFont(backgroundColor, textColor, font);
    }
    static Ref<LGridCellStyle> styleWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
        const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, int32_t textAlignment,
        int32_t verticalTextAlignment, const Ref<UIFont>& font)
    {
        return initWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
            backgroundColor, textColor, textAlignment, verticalTextAlignment, font);
    }

    bool textAlignmentSetByUser() const { return m_textAlignmentSetByUser; }
    void setTextAlignmentSetByUser(bool v) { m_textAlignmentSetByUser = v; }
    bool textVerticalAlignmentSetByUser() const { return m_textVerticalAlignmentSetByUser; }
    void setTextVerticalAlignmentSetByUser(bool v) { m_textVerticalAlignmentSetByUser = v; }
    bool contentInsetSetByUser() const { return m_contentInsetSetByUser; }
    void setContentInsetSetByUser(bool v) { m_contentInsetSetByUser = v; }

    const Ref<UIColor>& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const Ref<UIColor>& color) { m_backgroundColor = color; }
    const Ref<UIColor>& textColor() const { return m_textColor; }
    void setTextColor(const Ref<UIColor>& color) { m_textColor = color; }
    const Ref<UIFont>& font() const { return m_font; }
    void setFont(const Ref<UIFont>& font) { m_font = font; }
    const Ref<LGridGradient>& gradient() const { return m_gradient; }
    void setGradient(const Ref<LGridGradient>& gradient) { m_gradient = gradient; }

    // 0 left, 1 centre, 2 right.
    int32_t textAlignment() const { return m_textAlignment; }
    void setTextAlignment(int32_t alignment);
    void setTextAlignmentPrivately(int32_t alignment) { m_textAlignment = alignment; }
    // 0 centre, 1 top, 2 bottom, 3 fill.
    int32_t textVerticalAlignment() const { return m_textVerticalAlignment; }
    void setTextVerticalAlignment(int32_t alignment);
    void setTextVerticalAlignmentPrivately(int32_t alignment) { m_textVerticalAlignment = alignment; }
    UIEdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(UIEdgeInsets inset);

    // A style of the receiver's own class with the same values and flags; colours, font and
    // gradient are shared.
    virtual Ref<LGridCellStyle> copy() const;
    // Lays the chosen values of `other` over this style; nothing is ever cleared.
    void overrideWithStyle(const Ref<LGridCellStyle>& other);

    std::string description() const override;

protected:
    void initialiseWith(const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, const Ref<UIFont>& font);
    // Copies this style's values into `copy`, which is of this style's class.
    void copyCellStyleInto(LGridCellStyle& copy) const;

private:
    bool m_textAlignmentSetByUser { false };
    bool m_textVerticalAlignmentSetByUser { false };
    bool m_contentInsetSetByUser { false };
    Ref<UIColor> m_backgroundColor;
    Ref<UIColor> m_textColor;
    int32_t m_textAlignment { 0 };
    int32_t m_textVerticalAlignment { 0 };
    Ref<UIFont> m_font;
    Ref<LGridGradient> m_gradient;
    UIEdgeInsets m_contentInset {};
};
