#include "grid/datagrid/LDataGridTextInputCell.h"

#include "grid/LGridTextInputCell.h"

Ref<LDataGridTextInputCell> LDataGridTextInputCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    return makeTextInputCell<LDataGridTextInputCell>(reuseIdentifier);
}

void LDataGridTextInputCell::initialiseTextInputCell(const std::string& reuseIdentifier)
{
    initialiseDataGridCell(reuseIdentifier);
    setContentInset(UIEdgeInsets { 0, 22, 0, 22 });
}

Ref<LGridTextInputCell> LDataGridTextInputCell::textInternalCell() const
{
    return std::dynamic_pointer_cast<LGridTextInputCell>(internalCell());
}

UIEdgeInsets LDataGridTextInputCell::contentInset() const
{
    auto cell = textInternalCell();
    return cell ? cell->contentInset() : UIEdgeInsets {};
}

void LDataGridTextInputCell::setContentInset(UIEdgeInsets inset)
{
    if (auto cell = textInternalCell())
        cell->setContentInset(inset);
}
