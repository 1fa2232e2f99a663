#include "grid/LGridStyleMerge.h"

#include "graphics/UIColor.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridColourBlender.h"

Ref<LGridCellStyle> blendedStyleFromHierarchy(const std::vector<Ref<LGridCellStyle>>& hierarchy,
    LGridColourBlender& backgroundColorBlender, LGridColourBlender& textColorBlender)
{
    backgroundColorBlender.empty();
    textColorBlender.empty();
    if (hierarchy.empty() || !hierarchy.back())
        return nullptr;
    auto result = hierarchy.back()->copy();
    for (const auto& entry : hierarchy) {
        if (!entry)
            continue;
        backgroundColorBlender.addColourToBlend(entry->backgroundColor());
        textColorBlender.addColourToBlend(entry->textColor());
        if (entry->textAlignmentSetByUser())
            result->setTextAlignment(entry->textAlignment());
        if (entry->textVerticalAlignmentSetByUser())
            result->setTextVerticalAlignment(entry->textVerticalAlignment());
        if (entry->font())
            result->setFont(entry->font());
        if (entry->gradient())
            result->setGradient(entry->gradient());
        if (entry->contentInsetSetByUser()) {
            result->setContentInset(entry->contentInset());
            result->setContentInsetSetByUser(entry->contentInsetSetByUser());
        }
    }
    result->setBackgroundColor(backgroundColorBlender.getBlendedColour());
    result->setTextColor(textColorBlender.getBlendedColour());
    return result;
}
