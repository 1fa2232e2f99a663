#pragma once

#include "foundation/FoundationForward.h"
#include "graphics/NSParagraphStyle.h"
#include "uikit/UIKeyInput.h"
#include "uikit/UIScrollView.h"

#include <string>

class UIFont;
class UITextView;

inline constexpr const char* UITextViewTextDidBeginEditingNotification = "UITextViewTextDidBeginEditingNotification";
inline constexpr const char* UITextViewTextDidChangeNotification = "UITextViewTextDidChangeNotification";
inline constexpr const char* UITextViewTextDidEndEditingNotification = "UITextViewTextDidEndEditingNotification";

// What a text view asks and tells its delegate, besides the scroll view messages; all
// optional. Ranges are in UTF-16 units.
class UITextViewDelegate : public UIScrollViewDelegate {
public:
    virtual bool textViewShouldBeginEditing(const Ref<UITextView>&) { return true; }
    virtual void textViewDidBeginEditing(const Ref<UITextView>&) { }
    virtual bool textViewShouldEndEditing(const Ref<UITextView>&) { return true; }
    virtual void textViewDidEndEditing(const Ref<UITextView>&) { }
    virtual bool textViewShouldChangeTextInRangeReplacementText(const Ref<UITextView>&, NSRange, const std::string&)
    {
        return true;
    }
    virtual void textViewDidChange(const Ref<UITextView>&) { }
    virtual void textViewDidChangeSelection(const Ref<UITextView>&) { }
};

// Scrolling, wrapping text, editable when `editable`. Typing replaces the selected range and
// leaves the insertion point after the new text; return inserts a line break. The content size
// follows the wrapped text. Setting text in code tells nobody. Main thread only.
class UITextView : public UIScrollView, public UIKeyInput {
    VX_OBJECT(UITextView, UIScrollView)
public:
    explicit UITextView(Passkey key)
        : UIScrollView(key)
    {
    }
    static Ref<UITextView> initWithFrame(CGRect frame) { return makeScrollView<UITextView>(frame); }

    // The text view's delegate is its scroll view delegate too.
    void setTextViewDelegate(UITextViewDelegate* delegate, Weak<NSObject> owner)
    {
        m_textDelegate = delegate;
        m_textDelegateOwner = owner;
        setDelegate(delegate, std::move(owner));
    }
    UITextViewDelegate* textViewDelegate() const { return m_textDelegateOwner.expired() ? nullptr : m_textDelegate; }

    const std::string& text() const { return m_text; }
    void setText(const std::string& text);
    const Ref<UIFont>& font() const;
    void setFont(const Ref<UIFont>& font)
    {
        m_font = font;
        updateContentSize();
    }
    const Ref<UIColor>& textColor() const { return m_textColor; }
    void setTextColor(const Ref<UIColor>& color)
    {
        m_textColor = color;
        setNeedsDisplay();
    }
    NSTextAlignment textAlignment() const { return m_textAlignment; }
    void setTextAlignment(NSTextAlignment alignment)
    {
        m_textAlignment = alignment;
        setNeedsDisplay();
    }
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);
    bool isSelectable() const { return m_selectable; }
    void setSelectable(bool selectable) { m_selectable = selectable; }
    UIEdgeInsets textContainerInset() const { return m_textContainerInset; }
    void setTextContainerInset(UIEdgeInsets insets)
    {
        m_textContainerInset = insets;
        updateContentSize();
    }
    // Kept inside the text; telling the delegate when it changes.
    NSRange selectedRange() const { return m_selectedRange; }
    void setSelectedRange(NSRange range);
    // Scrolls the least distance that shows the line holding the end of `range`.
    void scrollRangeToVisible(NSRange range);
    Ref<UIView> inputAccessoryView() const override { return m_inputAccessoryView; }
    void setInputAccessoryView(const Ref<UIView>& view) { m_inputAccessoryView = view; }
    const Ref<UIView>& inputView() const { return m_inputView; }
    void setInputView(const Ref<UIView>& view) { m_inputView = view; }

    bool canBecomeFirstResponder() const override { return m_editable; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;

    bool hasText() const override { return !m_text.empty(); }
    void insertText(const std::string& text) override;
    void deleteBackward() override;

    void setBounds(CGRect bounds) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void drawRect(CGRect rect) override;

private:
    Ref<UITextView> protectedView() { return std::static_pointer_cast<UITextView>(shared_from_this()); }
    bool replace(NSRange range, const std::string& replacement);
    void updateContentSize();
    // The height the first `units` UTF-16 units of the text take when wrapped.
    CGFloat heightOfText(size_t units) const;

    UITextViewDelegate* m_textDelegate { nullptr };
    Weak<NSObject> m_textDelegateOwner;
    std::string m_text;
    Ref<UIFont> m_font;
    Ref<UIColor> m_textColor;
    NSTextAlignment m_textAlignment { NSTextAlignmentLeft };
    UIEdgeInsets m_textContainerInset { 8, 0, 8, 0 };
    NSRange m_selectedRange {};
    Ref<UIView> m_inputAccessoryView;
    Ref<UIView> m_inputView;
    bool m_editable { true };
    bool m_selectable { true };
    bool m_editing { false };
};
