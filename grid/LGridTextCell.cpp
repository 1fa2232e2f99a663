#include "grid/LGridTextCell.h"

#include "grid/LGridTextField.h"

Ref<LGridTextCell> LGridTextCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    auto cell = makeView<LGridTextCell>(CGRectZero);
    cell->initialiseAutoCell(reuseIdentifier);
    return cell;
}

void LGridTextCell::setupTextInput(const Ref<UIView>& input)
{
    LGridAutoCell::setupTextInput(input);
    setTextAlignmentPrivately(0);
    if (auto field = std::dynamic_pointer_cast<UITextField>(input))
        field->setKeyboardType(UIKeyboardTypeDefault);
}
