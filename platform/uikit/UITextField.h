#pragma once

#include "foundation/FoundationForward.h"
#include "graphics/NSParagraphStyle.h"
#include "uikit/UIControl.h"
#include "uikit/UIKeyInput.h"

#include <optional>
#include <string>

class UIFont;
class UITextField;

enum UITextBorderStyle : int32_t {
    UITextBorderStyleNone = 0,
    UITextBorderStyleLine = 1,
    UITextBorderStyleBezel = 2,
    UITextBorderStyleRoundedRect = 3,
};

enum UITextFieldViewMode : int32_t {
    UITextFieldViewModeNever = 0,
    UITextFieldViewModeWhileEditing = 1,
    UITextFieldViewModeUnlessEditing = 2,
    UITextFieldViewModeAlways = 3,
};

inline constexpr const char* UITextFieldTextDidBeginEditingNotification = "UITextFieldTextDidBeginEditingNotification";
inline constexpr const char* UITextFieldTextDidEndEditingNotification = "UITextFieldTextDidEndEditingNotification";
inline constexpr const char* UITextFieldTextDidChangeNotification = "UITextFieldTextDidChangeNotification";

// What a text field asks and tells its delegate; all optional. Ranges are in UTF-16 units.
class UITextFieldDelegate {
public:
    virtual ~UITextFieldDelegate() = default;
    virtual bool textFieldShouldBeginEditing(const Ref<UITextField>&) { return true; }
    virtual void textFieldDidBeginEditing(const Ref<UITextField>&) { }
    virtual bool textFieldShouldEndEditing(const Ref<UITextField>&) { return true; }
    virtual void textFieldDidEndEditing(const Ref<UITextField>&) { }
    virtual bool textFieldShouldChangeCharactersInRangeReplacementString(
        const Ref<UITextField>&, NSRange, const std::string&)
    {
        return true;
    }
    virtual bool textFieldShouldClear(const Ref<UITextField>&) { return true; }
    virtual bool textFieldShouldReturn(const Ref<UITextField>&) { return true; }
};

// A single line of editable text. Touching it (or becomeFirstResponder) starts editing, which
// brings up the keyboard; typed text goes in at the end after the delegate agrees, sending
// editing-changed and posting the text-did-change notification. Return asks
// textFieldShouldReturn and sends editing-did-end-on-exit. Setting text in code sends nothing.
// Main thread only.
class UITextField : public UIControl, public UIKeyInput {
    VX_OBJECT(UITextField, UIControl)
public:
    explicit UITextField(Passkey key)
        : UIControl(key)
    {
    }
    static Ref<UITextField> initWithFrame(CGRect frame) { return makeView<UITextField>(frame); }

    void setDelegate(UITextFieldDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UITextFieldDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

    const std::string& text() const { return m_text; }
    void setText(const std::string& text)
    {
        m_text = text;
        setNeedsDisplay();
    }
    const std::string& placeholder() const { return m_placeholder; }
    void setPlaceholder(const std::string& placeholder)
    {
        m_placeholder = placeholder;
        setNeedsDisplay();
    }
    const Ref<UIFont>& font() const { return m_font; }
    void setFont(const Ref<UIFont>& font)
    {
        m_font = font;
        setNeedsDisplay();
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
    UITextBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(UITextBorderStyle style)
    {
        m_borderStyle = style;
        setNeedsDisplay();
    }
    UITextFieldViewMode clearButtonMode() const { return m_clearButtonMode; }
    void setClearButtonMode(UITextFieldViewMode mode) { m_clearButtonMode = mode; }
    bool clearsOnBeginEditing() const { return m_clearsOnBeginEditing; }
    void setClearsOnBeginEditing(bool v) { m_clearsOnBeginEditing = v; }
    bool adjustsFontSizeToFitWidth() const { return m_adjustsFontSizeToFitWidth; }
    void setAdjustsFontSizeToFitWidth(bool v) { m_adjustsFontSizeToFitWidth = v; }
    const Ref<UIView>& leftView() const { return m_leftView; }
    void setLeftView(const Ref<UIView>& view) { m_leftView = view; }
    const Ref<UIView>& rightView() const { return m_rightView; }
    void setRightView(const Ref<UIView>& view) { m_rightView = view; }
    Ref<UIView> inputAccessoryView() const override { return m_inputAccessoryView; }
    void setInputAccessoryView(const Ref<UIView>& view) { m_inputAccessoryView = view; }
    const Ref<UIView>& inputView() const { return m_inputView; }
    void setInputView(const Ref<UIView>& view) { m_inputView = view; }
    bool isEditing() const { return m_editing; }
    // Whether the clear button shows now, from the mode and the editing state.
    bool isClearButtonVisible() const;
    // The user tapping the clear button: empties the text when the delegate agrees.
    void userTapClearButton();

    bool canBecomeFirstResponder() const override { return isEnabled(); }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;

    bool hasText() const override { return !m_text.empty(); }
    void insertText(const std::string& text) override;
    void deleteBackward() override;

    void endTrackingWithTouchWithEvent(const Ref<UITouch>& touch, const Ref<UIEvent>& event) override;
    void drawRect(CGRect rect) override;

private:
    Ref<UITextField> protectedField() { return std::static_pointer_cast<UITextField>(shared_from_this()); }
    // Replaces `range` (UTF-16 units) when the delegate agrees; true when changed.
    bool replace(NSRange range, const std::string& replacement);

    UITextFieldDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    std::string m_text;
    std::string m_placeholder;
    Ref<UIFont> m_font;
    Ref<UIColor> m_textColor;
    NSTextAlignment m_textAlignment { NSTextAlignmentLeft };
    UITextBorderStyle m_borderStyle { UITextBorderStyleNone };
    UITextFieldViewMode m_clearButtonMode { UITextFieldViewModeNever };
    Ref<UIView> m_leftView;
    Ref<UIView> m_rightView;
    Ref<UIView> m_inputAccessoryView;
    Ref<UIView> m_inputView;
    bool m_clearsOnBeginEditing { false };
    bool m_adjustsFontSizeToFitWidth { false };
    bool m_editing { false };
};
