#include "grid/datagrid/UIColor+hex.h"

#include "graphics/UIColor.h"

namespace UIColor_hex {

Ref<UIColor> colorWithHexAlpha(uint32_t rgb, float alpha)
{
    if (alpha == -1.0f)
        return nullptr;
    return UIColor::colorWithRedGreenBlueAlpha(static_cast<float>((rgb >> 16) & 0xff) / 255.0f,
        static_cast<float>((rgb >> 8) & 0xff) / 255.0f, static_cast<float>(rgb & 0xff) / 255.0f, alpha);
}

Ref<UIColor> colorFromStruct(LDataGridColorRecord record)
{
    return colorWithHexAlpha(record.rgb, record.alpha);
}

} // namespace UIColor_hex
