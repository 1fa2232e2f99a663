#include "grid/datagrid/LDataGridMultiLineTextCell.h"

#include "grid/LGridAutoMultiLineCell.h"
#include "grid/LGridTextLabel.h"
#include "grid/LGridTextView.h"

Ref<LDataGridMultiLineTextCell> LDataGridMultiLineTextCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    return makeTextInputCell<LDataGridMultiLineTextCell>(reuseIdentifier);
}

Ref<LGridCell> LDataGridMultiLineTextCell::makeInternalCell(const std::string& reuseIdentifier) const
{
    return LGridAutoMultiLineCell::initWithReuseIdentifier(reuseIdentifier);
}

Ref<LGridAutoMultiLineCell> LDataGridMultiLineTextCell::wrappedAutoMultiLineCell() const
{
    return std::dynamic_pointer_cast<LGridAutoMultiLineCell>(internalCell());
}

Ref<LGridTextLabel> LDataGridMultiLineTextCell::textLabel() const
{
    auto cell = wrappedAutoMultiLineCell();
    return cell ? cell->textLabel() : nullptr;
}

void LDataGridMultiLineTextCell::setTextLabel(const Ref<LGridTextLabel>& label)
{
    if (auto cell = wrappedAutoMultiLineCell())
        cell->setTextLabel(label);
}

Ref<LGridTextView> LDataGridMultiLineTextCell::editingTextView() const
{
    auto cell = wrappedAutoMultiLineCell();
    return cell ? cell->editingTextView() : nullptr;
}

std::optional<std::string> LDataGridMultiLineTextCell::text() const
{
    auto cell = wrappedAutoMultiLineCell();
    if (!cell)
        return std::nullopt;
    return cell->text();
}

void LDataGridMultiLineTextCell::setText(const std::string& text)
{
    if (auto cell = wrappedAutoMultiLineCell())
        cell->setText(text);
}
