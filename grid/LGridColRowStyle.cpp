#include "grid/LGridColRowStyle.h"

#include "foundation/Value.h"
#include "grid/LatticeGridLog.h"

namespace {

// A size as an optional number object: nil when unset.
Value sizeValue(const std::optional<float>& size)
{
    return size ? Value(*size) : Value();
}

} // namespace

Ref<LGridColRowStyle> LGridColRowStyle::init()
{
    return make<LGridColRowStyle>();
}

Ref<LGridColRowStyle> LGridColRowStyle::initWithSizeWithBackgroundColorWithTextColorWithFont(std::optional<float> size,
    const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, const Ref<UIFont>& font)
{
    auto style = make<LGridColRowStyle>();
    style->initialiseWith(backgroundColor, textColor, font);
    style->setSize(size);
    return style;
}

Ref<LGridColRowStyle>
LGridColRowStyle::initWithSizeWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
    std::optional<float> size, const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor,
    int32_t textAlignment, int32_t verticalTextAlignment, const Ref<UIFont>& font)
{
    auto style = make<LGridColRowStyle>();
    style->initialiseWith(backgroundColor, textColor, font);
    style->setTextAlignment(textAlignment);
    style->setTextVerticalAlignment(verticalTextAlignment);
    style->setSize(size);
    return style;
}

Ref<LGridColRowStyle> LGridColRowStyle::styleWithSizeWithCellStyle(
    std::optional<float> size, const Ref<LGridCellStyle>& cellStyle)
{
    auto style = make<LGridColRowStyle>();
    style->setSize(size);
    if (!cellStyle)
        return style;
    style->setBackgroundColor(cellStyle->backgroundColor());
    style->setFont(cellStyle->font());
    style->setTextColor(cellStyle->textColor());
    style->setGradient(cellStyle->gradient());
    style->setTextAlignmentPrivately(cellStyle->textAlignment());
    style->setTextAlignmentSetByUser(cellStyle->textAlignmentSetByUser());
    style->setTextVerticalAlignmentPrivately(cellStyle->textVerticalAlignment());
    style->setTextVerticalAlignmentSetByUser(cellStyle->textVerticalAlignmentSetByUser());
    style->setContentInset(cellStyle->contentInset());
    style->setContentInsetSetByUser(cellStyle->contentInsetSetByUser());
    return style;
}

void LGridColRowStyle::setSize(std::optional<float> size)
{
    willChangeValueForKey("size");
    if (size && *size < 0) {
        LatticeGridLog::logMessageFromSource("LGridColRowStyle: size must not be negative", this);
        size.reset();
    }
    m_size = size;
    didChangeValueForKey("size");
}

void LGridColRowStyle::setMinimumSize(std::optional<float> size)
{
    if (size && *size < 0) {
        LatticeGridLog::logMessageFromSource("LGridColRowStyle: size must not be negative", this);
        size.reset();
    }
    m_minimumSize = size;
}

Ref<LGridCellStyle> LGridColRowStyle::copy() const
{
    auto style = init();
    copyCellStyleInto(*style);
    style->m_size = m_size;
    style->m_minimumSize = m_minimumSize;
    return style;
}

std::string LGridColRowStyle::description() const
{
    std::string text = LGridCellStyle::description();
    std::string sizes
        = ", size:" + sizeValue(m_size).description() + ", minimumSize:" + sizeValue(m_minimumSize).description();
    text.insert(text.empty() ? 0 : text.size() - 1, sizes);
    return text;
}

Value LGridColRowStyle::valueForKey(const std::string& key)
{
    if (key == "size")
        return sizeValue(m_size);
    if (key == "minimumSize")
        return sizeValue(m_minimumSize);
    return LGridCellStyle::valueForKey(key);
}
