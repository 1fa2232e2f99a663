// Formula cell: any text, of any length and bytes, is answered without a crash; a text that is
// no formula is shown as it is, and a formula's answer is an integer or one of the five errors.
#include "fuzz/FuzzCheck.h"
#include "grid/LGridArithmeticCell.h"

#include <string>

namespace {

bool isInteger(const std::string& text)
{
    size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == start)
        return false;
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

bool isError(const std::string& text)
{
    return text == "Close parenthesis expected" || text == "Open parenthesis unexpected"
        || text == "Expression expected" || text == "Divison by zero" || text.rfind("Invalid character '", 0) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string shown = LGridArithmeticCell::resultForFormula(text);
    if (text.empty() || text[0] != '=') {
        fuzzCheck(shown == text, "a text that is no formula was changed");
        return 0;
    }
    fuzzCheck(isInteger(shown) || isError(shown), "a formula answered neither a number nor an error");
    return 0;
}
