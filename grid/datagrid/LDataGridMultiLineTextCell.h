#pragma once

#include "grid/datagrid/LDataGridTextInputCell.h"

class LGridAutoMultiLineCell;
class LGridTextLabel;
class LGridTextView;

// A data-grid cell that shows wrapped text in its internal cell's label, with a text view for
// editing. Main thread only.
class LDataGridMultiLineTextCell : public LDataGridTextInputCell {
    VX_OBJECT(LDataGridMultiLineTextCell, LDataGridTextInputCell)
public:
    explicit LDataGridMultiLineTextCell(Passkey key)
        : LDataGridTextInputCell(key)
    {
    }
    static Ref<LDataGridMultiLineTextCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

    Ref<LGridAutoMultiLineCell> wrappedAutoMultiLineCell() const;
    Ref<LGridTextLabel> textLabel() const;
    void setTextLabel(const Ref<LGridTextLabel>& label);
    Ref<LGridTextView> editingTextView() const;
    std::optional<std::string> text() const override;
    void setText(const std::string& text) override;

protected:
    Ref<LGridCell> makeInternalCell(const std::string& reuseIdentifier) const override;
};
