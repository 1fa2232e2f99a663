#include "app/categories/UILabel+DynamicSizing.h"

#include "foundation/NSNotificationCenter.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"

namespace UILabel_DynamicSizing {

namespace {
const char s_textStyleKey = 0;
}

void usePreferredFontForTextStyle(const Ref<UILabel>& label, const std::string& style)
{
    if (!label)
        return;
    setTextStyle(label, style);
    evaluateFont(label);
    Weak<UILabel> weak = label;
    NSNotificationCenter::defaultCenter()->addObserver(
        label,
        [weak](const Ref<NSNotification>&) {
            if (auto strong = weak.lock())
                evaluateFont(strong);
        },
        std::string(UIContentSizeCategoryDidChangeNotification), nullptr);
}

void evaluateFont(const Ref<UILabel>& label)
{
    if (!label)
        return;
    label->setFont(UIFont::preferredFontForTextStyle(textStyle(label)));
}

std::string textStyle(const Ref<UILabel>& label)
{
    if (!label)
        return {};
    Value value = label->associatedObject(&s_textStyleKey);
    return value.isString() ? value.stringValue() : std::string();
}

void setTextStyle(const Ref<UILabel>& label, const std::string& style)
{
    if (label)
        label->setAssociatedObject(&s_textStyleKey, Value(style));
}

} // namespace UILabel_DynamicSizing
