#include "app/view-controllers/detail/KESTDetailCellStyle.h"

#include "app/categories/UILabel+DynamicSizing.h"
#include "app/widgets/KESTGradientView.h"
#include "graphics/CAGradientLayer.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"

namespace KESTDetailCellStyle {

void headline(const Ref<UILabel>& label)
{
    if (label)
        UILabel_DynamicSizing::usePreferredFontForTextStyle(label, UIFontTextStyleHeadline);
}

void body(const Ref<UILabel>& label)
{
    if (label)
        UILabel_DynamicSizing::usePreferredFontForTextStyle(label, UIFontTextStyleBody);
}

void applyBlueGradient(const Ref<KESTGradientView>& view)
{
    auto layer = view ? std::dynamic_pointer_cast<CAGradientLayer>(view->layer()) : nullptr;
    if (!layer)
        return;
    layer->setColors({ UIColor::colorWithRedGreenBlueAlpha(0, 75 / 255.0f, 125 / 255.0f, 1)->CGColor(),
        UIColor::colorWithRedGreenBlueAlpha(0, 134 / 255.0f, 182 / 255.0f, 1)->CGColor() });
}

Ref<UIColor> shadedRowColor()
{
    return UIColor::colorWithRedGreenBlueAlpha(242 / 255.0f, 242 / 255.0f, 242 / 255.0f, 1);
}

} // namespace KESTDetailCellStyle
