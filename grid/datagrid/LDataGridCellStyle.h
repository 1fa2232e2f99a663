#pragma once

#include "graphics/UIGeometry.h"
#include "grid/datagrid/LDataGridWrapper.h"

class LGridCellStyle;
class LGridGradient;
class UIColor;
class UIFont;

// The data grid's cell style: a wrapper of the engine's LGridCellStyle. Every property reads
// and writes the wrapped engine style, so a field set here counts as set for the engine's
// style merging, and one left alone stays unset. Main thread only.
class LDataGridCellStyle : public LDataGridWrapper {
    VX_OBJECT(LDataGridCellStyle, LDataGridWrapper)
public:
    explicit LDataGridCellStyle(Passkey key)
        : LDataGridWrapper(key)
    {
    }
    // Wraps a new empty engine style.
    static Ref<LDataGridCellStyle> init();
    static Ref<LDataGridCellStyle> style() { return init(); }
    // Wraps the given engine style itself (not a copy).
    static Ref<LDataGridCellStyle> initWithObjectToWrap(const Ref<NSObject>& object);
    // Wraps a style the engine holds, which may be of a subclass (a row style), so the data
    // grid's getters hand out the engine's very object.
    static Ref<LDataGridCellStyle> wrapperOfEngineStyle(const Ref<LGridCellStyle>& style);
    static Ref<LDataGridCellStyle>
    initWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
        const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, int32_t textAlignment,
        int32_t verticalTextAlignment, const Ref<UIFont>& font);
    static Ref<LDataGridCellStyle>
    styleWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
        const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, int32_t textAlignment,
        int32_t verticalTextAlignment, const Ref<UIFont>& font)
    {
        return initWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
            backgroundColor, textColor, textAlignment, verticalTextAlignment, font);
    }
    static Ref<LDataGridCellStyle> initWithBackgroundColorWithTextColorWithFont(
        const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, const Ref<UIFont>& font);
    static Ref<LDataGridCellStyle> styleWithBackgroundColorWithTextColorWithFont(
        const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, const Ref<UIFont>& font)
    {
        return initWithBackgroundColorWithTextColorWithFont(backgroundColor, textColor, font);
    }

    Class wrappedObjectType() const override;
    // The wrapped engine style, as the engine takes it.
    Ref<LGridCellStyle> cellStyle() const;

    Ref<UIColor> backgroundColor() const;
    void setBackgroundColor(const Ref<UIColor>& color);
    Ref<UIColor> textColor() const;
    void setTextColor(const Ref<UIColor>& color);
    // 0 left, 1 centre, 2 right.
    int32_t textAlignment() const;
    void setTextAlignment(int32_t alignment);
    Ref<UIFont> font() const;
    void setFont(const Ref<UIFont>& font);
    // 0 centre, 1 top, 2 bottom, 3 fill.
    int32_t textVerticalAlignment() const;
    void setTextVerticalAlignment(int32_t alignment);
    Ref<LGridGradient> gradient() const;
    void setGradient(const Ref<LGridGradient>& gradient);
    UIEdgeInsets contentInset() const;
    void setContentInset(UIEdgeInsets inset);

    std::string description() const override;

protected:
    bool wrappedTypeRespondsToSelector(std::string_view selector) const override;
};
