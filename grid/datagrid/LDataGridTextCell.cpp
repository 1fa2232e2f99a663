#include "grid/datagrid/LDataGridTextCell.h"

#include "grid/LGridAutoCell.h"
#include "grid/LGridTextField.h"

Ref<LDataGridTextCell> LDataGridTextCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    return makeTextInputCell<LDataGridTextCell>(reuseIdentifier);
}

Ref<LGridCell> LDataGridTextCell::makeInternalCell(const std::string& reuseIdentifier) const
{
    return LGridAutoCell::initWithReuseIdentifier(reuseIdentifier);
}

Ref<LGridAutoCell> LDataGridTextCell::wrappedAutoCell() const
{
    return std::dynamic_pointer_cast<LGridAutoCell>(internalCell());
}

Ref<LGridTextField> LDataGridTextCell::textField() const
{
    auto cell = wrappedAutoCell();
    return cell ? cell->textField() : nullptr;
}

void LDataGridTextCell::setTextField(const Ref<LGridTextField>& field)
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
