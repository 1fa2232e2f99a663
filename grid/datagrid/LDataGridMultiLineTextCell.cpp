#include "grid/datagrid/LDataGridMultiLineTextCell.h"

#include "grid/datagrid/LDataGridTextInternalCell.h"
#include "uikit/UILabel.h"
#include "uikit/UITextView.h"

Ref<LDataGridMultiLineTextCell> LDataGridMultiLineTextCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    return makeTextInputCell<LDataGridMultiLineTextCell>(reuseIdentifier);
}

Ref<LGridCell> LDataGridMultiLineTextCell::makeInternalCell(const std::string& reuseIdentifier) const
{
    return LDataGridTextInternalCell::initWithReuseIdentifier(
        reuseIdentifier, LDataGridTextInternalCell::Lines::Multiple);
}

Ref<UILabel> LDataGridMultiLineTextCell::textLabel() const
{
    auto cell = wrappedAutoMultiLineCell();
    return cell ? cell->textLabel() : nullptr;
}

void LDataGridMultiLineTextCell::setTextLabel(const Ref<UILabel>& label)
{
    if (auto cell = wrappedAutoMultiLineCell())
        cell->setTextLabel(label);
}

Ref<UITextView> LDataGridMultiLineTextCell::editingTextView() const
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
