#pragma once

#include "grid/LGridTextInputCell.h"
#include "grid/LGridTextView.h"

class LGridTextLabel;

// A text cell that shows wrapped text in an LGridTextLabel and swaps in an LGridTextView, with
// the label's text and look, while it is edited; the edited text goes back into the label.
// Main thread only.
class LGridAutoMultiLineCell : public LGridTextInputCell, public UITextViewDelegate, public LGridTextViewDelegate {
    VX_OBJECT(LGridAutoMultiLineCell, LGridTextInputCell)
public:
    explicit LGridAutoMultiLineCell(Passkey key)
        : LGridTextInputCell(key)
    {
    }
    ~LGridAutoMultiLineCell() override;
    static Ref<LGridAutoMultiLineCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

    const Ref<LGridTextLabel>& textLabel() const { return m_textLabel; }
    void setTextLabel(const Ref<LGridTextLabel>& label);
    // The text view while the cell accepts editing; nullptr otherwise.
    const Ref<LGridTextView>& editingTextView() const { return m_tempTextView; }
    Ref<UIView> textInput() const override;
    std::string text() const override;
    void setText(const std::string& text) override;

    void prepareToAcceptEditEvents(bool accept) override;
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;

    bool textViewShouldBeginEditing(const Ref<UITextView>& textView) override;
    void textViewDidEndEditing(const Ref<UITextView>& textView) override;
    void didFinishLayingOutSGridTextView(const Ref<LGridTextView>& textView) override;

protected:
    Ref<UIColor> inputTextColor() const override;
    void setInputTextColor(const Ref<UIColor>& color) override;
    Ref<UIFont> inputFont() const override;
    void setInputFont(const Ref<UIFont>& font) override;
    int32_t inputTextAlignment() const override;
    void setInputTextAlignment(int32_t alignment) override;

private:
    Ref<LGridTextView> m_tempTextView;
    Ref<LGridTextLabel> m_textLabel;
};
