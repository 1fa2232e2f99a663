#include "grid/LGridNumberCell.h"

#include "grid/LGridTextField.h"

Ref<LGridNumberCell> LGridNumberCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    auto cell = makeView<LGridNumberCell>(CGRectZero);
    cell->initialiseAutoCell(reuseIdentifier);
    return cell;
}

void LGridNumberCell::setupTextInput(const Ref<UIView>& input)
{
    LGridAutoCell::setupTextInput(input);
    setTextAlignmentPrivately(2);
    if (auto field = std::dynamic_pointer_cast<UITextField>(input))
        field->setKeyboardType(UIKeyboardTypeNumberPad);
}
