#pragma once

#include "foundation/NSObject.h"

class KESTGradientView;
class UILabel;
class UIColor;

// The styling the detail cells share: header labels in the headline text style, values in the
// body style (both following the user's text size), the blue gradient and the row colours.
// Main thread only.
namespace KESTDetailCellStyle {

void headline(const Ref<UILabel>& label);
void body(const Ref<UILabel>& label);
// Top to bottom RGB 0, 75, 125 and 0, 134, 182.
void applyBlueGradient(const Ref<KESTGradientView>& view);
// RGB 242, 242, 242, the shaded rows of the detail tables.
Ref<UIColor> shadedRowColor();

} // namespace KESTDetailCellStyle
