#pragma once

#include "foundation/Ref.h"

#include <string>
#include <unordered_map>

class UIColor;

// The two built-in colour name tables, each one text of entries ",name#rrggbb" one after the
// other, and the builders of their name-to-colour dictionaries.
namespace UIColor_Expanded_Support {

extern const char* const colorNameDB;
extern const char* const crayolaNameDB;

using ColorNameDictionary = std::unordered_map<std::string, Ref<UIColor>>;

// Walks a table text entry by entry; stops at the first entry whose value cannot be read.
ColorNameDictionary populateColorNameCache();
ColorNameDictionary populateCrayolaNameCache();

} // namespace UIColor_Expanded_Support
