#include "grid/datagrid/LDataGridTextCell.h"

#include "grid/datagrid/LDataGridTextInternalCell.h"
#include "uikit/UITextField.h"

Ref<LDataGridTextCell> LDataGridTextCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    return makeTextInputCell<LDataGridTextCell>(reuseIdentifier);
}

Ref<LGridCell> LDataGridTextCell::makeInternalCell(const std::string& reuseIdentifier) const
{
    return LDataGridTextInternalCell::initWithReuseIdentifier(
        reuseIdentifier, LDataGridTextInternalCell::Lines::Single);
}

Ref<UITextField> LDataGridTextCell::textField() const
{
    auto cell = wrappedAutoCell();
    return cell ? cell->textField() : nullptr;
}

void LDataGridTextCell::setTextField(const Ref<UITextField>& field)
{
    if (auto cell = wrappedAutoCell())
        cell->setTextField(field);
}

std::optional<std::string> LDataGridTextCell::text() const
{
    auto cell = wrappedAutoCell();
    if (!cell)
        return std::nullopt;
    return cell->text();
}

void LDataGridTextCell::setText(const std::string& text)
{
    if (auto cell = wrappedAutoCell())
        cell->setText(text);
}
