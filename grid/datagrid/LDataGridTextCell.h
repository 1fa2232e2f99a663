#pragma once

#include "grid/datagrid/LDataGridTextInputCell.h"

class LGridAutoCell;
class LGridTextField;

// A data-grid cell that shows one line of text in its internal engine cell's text field; the default
// body cell of a column. Data sources fill it through textField (its text) or setText.
// Main thread only.
class LDataGridTextCell : public LDataGridTextInputCell {
    VX_OBJECT(LDataGridTextCell, LDataGridTextInputCell)
public:
    explicit LDataGridTextCell(Passkey key)
        : LDataGridTextInputCell(key)
    {
    }
    static Ref<LDataGridTextCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

    Ref<LGridAutoCell> wrappedAutoCell() const;
    Ref<LGridTextField> textField() const;
    void setTextField(const Ref<LGridTextField>& field);
    std::optional<std::string> text() const override;
    void setText(const std::string& text) override;

protected:
    Ref<LGridCell> makeInternalCell(const std::string& reuseIdentifier) const override;
};
