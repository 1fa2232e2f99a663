#pragma once

#include "grid/LGridTextInputCell.h"
#include "uikit/UITextField.h"

class LGridTextField;

// A text cell edited on a single line in an LGridTextField, which is enabled only while the
// cell is edited. It also keeps the field's vertical alignment unless set from outside.
// Main thread only.
class LGridAutoCell : public LGridTextInputCell, public UITextFieldDelegate {
    VX_OBJECT(LGridAutoCell, LGridTextInputCell)
public:
    explicit LGridAutoCell(Passkey key)
        : LGridTextInputCell(key)
    {
    }
    ~LGridAutoCell() override;
    static Ref<LGridAutoCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

    const Ref<LGridTextField>& textField() const { return m_textField; }
    virtual void setTextField(const Ref<LGridTextField>& field);
    Ref<UIView> textInput() const override;
    std::string text() const override;
    void setText(const std::string& text) override;
    bool useOwnVerticalTextAlignment() const { return m_useOwnVerticalTextAlignment; }
    void setTextVerticalAlignmentPrivately(int32_t alignment);

    Ref<LGridCellStyle> currentStyle() const override;
    void applyStyle(const Ref<LGridCellStyle>& style) override;
    void recordDeselectedStyle() override;
    void resetForReuse() override;
    void prepareToAcceptEditEvents(bool accept) override;
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;

    // Text-field delegate.
    bool textFieldShouldBeginEditing(const Ref<UITextField>& field) override;
    void textFieldDidEndEditing(const Ref<UITextField>& field) override;
    bool textFieldShouldReturn(const Ref<UITextField>& field) override;

protected:
    // Makes the cell with a new field; subclasses made through their own factories call it.
    void initialiseAutoCell(const std::string& reuseIdentifier);
    void addObserversTo(const Ref<UIView>& input) override;
    void removeObserversFrom(const Ref<UIView>& input) override;
    Ref<UIColor> inputTextColor() const override;
    void setInputTextColor(const Ref<UIColor>& color) override;
    Ref<UIFont> inputFont() const override;
    void setInputFont(const Ref<UIFont>& font) override;
    int32_t inputTextAlignment() const override;
    void setInputTextAlignment(int32_t alignment) override;

private:
    bool m_useOwnVerticalTextAlignment { false };
    Ref<LGridTextField> m_textField;
};
