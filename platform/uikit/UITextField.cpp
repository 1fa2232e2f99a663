#include "uikit/UITextField.h"

#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UIKitDrawing.h"
#include "uikit/UITouch.h"

VX_REGISTER_CLASS(UITextField);

bool UITextField::isClearButtonVisible() const
{
    switch (m_clearButtonMode) {
    case UITextFieldViewModeNever:
        return false;
    case UITextFieldViewModeWhileEditing:
        return m_editing && !m_text.empty();
    case UITextFieldViewModeUnlessEditing:
        return !m_editing && !m_text.empty();
    case UITextFieldViewModeAlways:
        return !m_text.empty();
    }
    return false;
}

bool UITextField::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder())
        return false;
    auto self = protectedField();
    if (auto* d = delegate(); d && !d->textFieldShouldBeginEditing(self))
        return false;
    UIKeyboard::setSwitchingInputs(true);
    bool became = UIControl::becomeFirstResponder();
    UIKeyboard::setSwitchingInputs(false);
    if (!became)
        return false;
    m_editing = true;
    if (m_clearsOnBeginEditing)
        m_text.clear();
    UIKeyboard::inputDidBecomeFirstResponder(this);
    if (auto* d = delegate())
        d->textFieldDidBeginEditing(self);
    sendActions(UIControlEventEditingDidBegin, nullptr);
    NSNotificationCenter::defaultCenter()->postNotificationName(UITextFieldTextDidBeginEditingNotification, self);
    setNeedsDisplay();
    return true;
}

bool UITextField::resignFirstResponder()
{
    if (!isFirstResponder())
        return true;
    auto self = protectedField();
    if (auto* d = delegate(); d && !d->textFieldShouldEndEditing(self))
        return false;
    UIControl::resignFirstResponder();
    m_editing = false;
    UIKeyboard::inputDidResignFirstResponder(this);
    if (auto* d = delegate())
        d->textFieldDidEndEditing(self);
    sendActions(UIControlEventEditingDidEnd, nullptr);
    NSNotificationCenter::defaultCenter()->postNotificationName(UITextFieldTextDidEndEditingNotification, self);
    setNeedsDisplay();
    return true;
}

bool UITextField::replace(NSRange range, const std::string& replacement)
{
    auto self = protectedField();
    if (auto* d = delegate();
        d && !d->textFieldShouldChangeCharactersInRangeReplacementString(self, range, replacement))
        return false;
    std::u16string units = NSString::toUTF16(m_text);
    // The delegate may have changed the text; keep the range inside what is there now.
    size_t start = std::min<size_t>(range.location, units.size());
    size_t length = std::min<size_t>(range.length, units.size() - start);
    units.replace(start, length, NSString::toUTF16(replacement));
    m_text = NSString::fromUTF16(units);
    setNeedsDisplay();
    sendActions(UIControlEventEditingChanged, nullptr);
    NSNotificationCenter::defaultCenter()->postNotificationName(UITextFieldTextDidChangeNotification, self);
    return true;
}

void UITextField::insertText(const std::string& text)
{
    if (!m_editing)
        return;
    auto self = protectedField();
    if (text == "\n") {
        auto* d = delegate();
        if (d && !d->textFieldShouldReturn(self))
            return;
        // A field with an end-on-exit action closes the keyboard.
        if (allControlEvents() & UIControlEventEditingDidEndOnExit) {
            sendActions(UIControlEventEditingDidEndOnExit, nullptr);
            resignFirstResponder();
        }
        return;
    }
    NSUInteger end = NSUInteger(NSString::toUTF16(m_text).size());
    replace({ end, 0 }, text);
}

void UITextField::deleteBackward()
{
    if (!m_editing || m_text.empty())
        return;
    std::u16string units = NSString::toUTF16(m_text);
    // One character: both halves of a surrogate pair.
    size_t length = 1;
    if (units.size() >= 2 && units.back() >= 0xDC00 && units.back() <= 0xDFFF && units[units.size() - 2] >= 0xD800
        && units[units.size() - 2] <= 0xDBFF)
        length = 2;
    replace({ NSUInteger(units.size() - length), NSUInteger(length) }, "");
}

void UITextField::userTapClearButton()
{
    if (!isClearButtonVisible())
        return;
    auto self = protectedField();
    if (auto* d = delegate(); d && !d->textFieldShouldClear(self))
        return;
    m_text.clear();
    setNeedsDisplay();
    sendActions(UIControlEventEditingChanged, nullptr);
    NSNotificationCenter::defaultCenter()->postNotificationName(UITextFieldTextDidChangeNotification, self);
}

void UITextField::endTrackingWithTouchWithEvent(const Ref<UITouch>& touch, const Ref<UIEvent>& event)
{
    UIControl::endTrackingWithTouchWithEvent(touch, event);
    if (isTouchInside())
        becomeFirstResponder();
}

void UITextField::drawRect(CGRect)
{
    CGRect b = bounds();
    switch (m_borderStyle) {
    case UITextBorderStyleRoundedRect:
        UIKitDrawing::fillRoundedRect(b, 5, UIColor::whiteColor());
        UIKitDrawing::strokeRoundedRect(b, 5, 1, UIColor::colorWithWhiteAlpha(0.8f, 1));
        break;
    case UITextBorderStyleLine:
        UIKitDrawing::strokeRoundedRect(b, 0, 1, UIColor::blackColor());
        break;
    case UITextBorderStyleBezel:
        UIKitDrawing::strokeRoundedRect(b, 0, 1, UIColor::grayColor());
        break;
    case UITextBorderStyleNone:
        break;
    }
    auto font = m_font ? m_font : UIFont::systemFontOfSize(17);
    bool placeholder = m_text.empty() && !m_placeholder.empty();
    std::string shown = placeholder ? m_placeholder : m_text;
    if (isSecureTextEntry() && !placeholder) {
        size_t count = NSString::toUTF16(m_text).size();
        shown.clear();
        for (size_t i = 0; i < count; ++i)
            shown += "\xE2\x80\xA2";
    }
    if (shown.empty())
        return;
    CGSize size = NSString_Drawing::sizeWithFont(shown, font);
    CGFloat inset = m_borderStyle == UITextBorderStyleNone ? 0 : 7;
    CGRect textRect = CGRectMake(
        inset, (b.size.height - size.height) / 2, std::max<CGFloat>(0, b.size.width - 2 * inset), size.height);
    auto color
        = placeholder ? UIColor::colorWithWhiteAlpha(0.7f, 1) : (m_textColor ? m_textColor : UIColor::blackColor());
    color->set();
    NSString_Drawing::drawInRectWithFont(shown, textRect, font, NSLineBreakByTruncatingTail, m_textAlignment);
}
