#pragma once

#include "grid/LGridCellStyle.h"

#include <optional>

// The style of a whole column or row: a cell style plus a size (width or height) and the
// smallest size the layout may give. "size" is observable: every setSize call tells observers.
// Main thread only.
class LGridColRowStyle : public LGridCellStyle {
    VX_OBJECT(LGridColRowStyle, LGridCellStyle)
public:
    explicit LGridColRowStyle(Passkey key)
        : LGridCellStyle(key)
    {
    }
    static Ref<LGridColRowStyle> init();
    static Ref<LGridColRowStyle> initWithSizeWithBackgroundColorWithTextColorWithFont(std::optional<float> size,
        const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, const Ref<UIFont>& font);
    static Ref<LGridColRowStyle>
    initWithSizeWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
        std::optional<float> size, const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor,
        int32_t textAlignment, int32_t verticalTextAlignment, const Ref<UIFont>& font);
    static Ref<LGridColRowStyle> styleWithSizeWithBackgroundColorWithTextColorWithFont(std::optional<float> size,
        const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, const Ref<UIFont>& font)
    {
        return initWithSizeWithBackgroundColorWithTextColorWithFont(size, backgroundColor, textColor, font);
    }
    static Ref<LGridColRowStyle>
    styleWithSizeWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
        std::optional<float> size, const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor,
        int32_t textAlignment, int32_t verticalTextAlignment, const Ref<UIFont>& font)
    {
        return initWithSizeWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
            size, backgroundColor, textColor, textAlignment, verticalTextAlignment, font);
    }
    // The size with the cell style's values and flags; a null cell style gives only the size.
    static Ref<LGridColRowStyle> styleWithSizeWithCellStyle(
        std::optional<float> size, const Ref<LGridCellStyle>& cellStyle);

    // Unset means the layout sizes it. A negative value is logged and clears the field.
    const std::optional<float>& size() const { return m_size; }
    void setSize(std::optional<float> size);
    const std::optional<float>& minimumSize() const { return m_minimumSize; }
    void setMinimumSize(std::optional<float> size);

    Ref<LGridCellStyle> copy() const override;
    // The cell style's description with ", size:<size>, minimumSize:<minimum>" before its
    // closing bracket.
    std::string description() const override;

    Value valueForKey(const std::string& key) override;

private:
    std::optional<float> m_size;
    std::optional<float> m_minimumSize;
};
