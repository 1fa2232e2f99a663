#pragma once

#include "graphics/UIGeometry.h"
#include "grid/LGridCell.h"

#include <string>

class UILabel;
class UITextField;
class UITextView;

// The engine-side text cell inside a data-grid text cell: an engine cell that shows a string
// either on one line in a text field or wrapped in a label (with a text view for editing), laid
// out inside its content inset. An applied style gives it, besides the engine cell's background
// and gradient, its text colour, font and text alignment (the single-line form also its
// vertical alignment) and, when the style chooses one, its content inset. Main thread only.
class LDataGridTextInternalCell : public LGridCell {
    VX_OBJECT(LDataGridTextInternalCell, LGridCell)
public:
    enum class Lines : uint8_t { Single, Multiple };

    explicit LDataGridTextInternalCell(Passkey key)
        : LGridCell(key)
    {
    }
    static Ref<LDataGridTextInternalCell> initWithReuseIdentifier(const std::string& reuseIdentifier, Lines lines);

    Lines lines() const { return m_lines; }
    // The single-line form's field (nullptr in the multi-line form).
    const Ref<UITextField>& textField() const { return m_textField; }
    void setTextField(const Ref<UITextField>& field);
    // The multi-line form's label and editing view (nullptr in the single-line form).
    const Ref<UILabel>& textLabel() const { return m_textLabel; }
    void setTextLabel(const Ref<UILabel>& label);
    const Ref<UITextView>& editingTextView() const { return m_editingTextView; }
    std::string text() const;
    void setText(const std::string& text);

    UIEdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(UIEdgeInsets inset);

    void applyStyle(const Ref<LGridCellStyle>& style) override;
    void setFrame(CGRect frame) override;

private:
    void layoutText();

    Lines m_lines { Lines::Single };
    UIEdgeInsets m_contentInset {};
    Ref<UITextField> m_textField;
    Ref<UILabel> m_textLabel;
    Ref<UITextView> m_editingTextView;
};
