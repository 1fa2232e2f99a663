#pragma once

#include "foundation/Ref.h"
#include "uikit/UIApplication.h"

#include <string>

class UILabel;

// Keeps a label in the user's preferred font size for a text style: the label takes the
// preferred font of its style now and again at each change of the text size, until it is
// released (the notification center drops a released observer). Main thread only.
namespace UILabel_DynamicSizing {

// Attaches the style, applies its font and follows the text size from now on.
void usePreferredFontForTextStyle(const Ref<UILabel>& label, const std::string& style);
// Applies the preferred font of the attached style.
void evaluateFont(const Ref<UILabel>& label);
// The attached style; empty when none.
std::string textStyle(const Ref<UILabel>& label);
void setTextStyle(const Ref<UILabel>& label, const std::string& style);

} // namespace UILabel_DynamicSizing
