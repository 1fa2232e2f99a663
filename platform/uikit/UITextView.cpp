#include "uikit/UITextView.h"

#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UITouch.h"

#include <algorithm>

VX_REGISTER_CLASS(UITextView);

namespace {
// Text wraps inside this much padding on each side.
constexpr CGFloat kLinePadding = 5;
} // namespace

const Ref<UIFont>& UITextView::font() const
{
    static const Ref<UIFont> s_default = UIFont::systemFontOfSize(12);
    return m_font ? m_font : s_default;
}

void UITextView::setText(const std::string& text)
{
    m_text = text;
    NSUInteger length = NSUInteger(NSString::toUTF16(m_text).size());
    m_selectedRange = { length, 0 };
    updateContentSize();
    setNeedsDisplay();
}

void UITextView::setEditable(bool editable)
{
    m_editable = editable;
    if (!editable && isFirstResponder())
        resignFirstResponder();
}

void UITextView::setSelectedRange(NSRange range)
{
    NSUInteger length = NSUInteger(NSString::toUTF16(m_text).size());
    NSUInteger location = std::min(range.location, length);
    NSRange clamped { location, std::min(range.length, length - location) };
    if (clamped == m_selectedRange)
        return;
    m_selectedRange = clamped;
    if (auto* d = textViewDelegate())
        d->textViewDidChangeSelection(protectedView());
}

CGFloat UITextView::heightOfText(size_t units) const
{
    std::u16string all = NSString::toUTF16(m_text);
    std::string prefix = NSString::fromUTF16(std::u16string_view(all).substr(0, std::min(units, all.size())));
    CGFloat width = std::max<CGFloat>(
        1, bounds().size.width - m_textContainerInset.left - m_textContainerInset.right - 2 * kLinePadding);
    // An empty last line still takes a line's height.
    if (prefix.empty() || prefix.back() == '\n')
        prefix += " ";
    return NSString_Drawing::sizeWithFontConstrainedToSize(
        prefix, font(), CGSizeMake(width, 1e6f), NSLineBreakByWordWrapping)
        .height;
}

void UITextView::updateContentSize()
{
    CGFloat height = heightOfText(SIZE_MAX) + m_textContainerInset.top + m_textContainerInset.bottom;
    setContentSize(CGSizeMake(bounds().size.width, height));
}

void UITextView::setBounds(CGRect newBounds)
{
    bool resized = newBounds.size.width != bounds().size.width;
    UIScrollView::setBounds(newBounds);
    if (resized)
        updateContentSize();
}

void UITextView::scrollRangeToVisible(NSRange range)
{
    CGFloat bottom = m_textContainerInset.top + heightOfText(size_t(range.location) + range.length);
    CGFloat lineHeight = font()->lineHeight();
    scrollRectToVisibleAnimated(CGRectMake(0, bottom - lineHeight, 1, lineHeight), false);
}

bool UITextView::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder())
        return false;
    auto self = protectedView();
    if (auto* d = textViewDelegate(); d && !d->textViewShouldBeginEditing(self))
        return false;
    UIKeyboard::setSwitchingInputs(true);
    bool became = UIScrollView::becomeFirstResponder();
    UIKeyboard::setSwitchingInputs(false);
    if (!became)
        return false;
    m_editing = true;
    UIKeyboard::inputDidBecomeFirstResponder(this);
    if (auto* d = textViewDelegate())
        d->textViewDidBeginEditing(self);
    NSNotificationCenter::defaultCenter()->postNotificationName(UITextViewTextDidBeginEditingNotification, self);
    return true;
}

bool UITextView::resignFirstResponder()
{
    if (!isFirstResponder())
        return true;
    auto self = protectedView();
    if (auto* d = textViewDelegate(); d && m_editable && !d->textViewShouldEndEditing(self))
        return false;
    UIScrollView::resignFirstResponder();
    m_editing = false;
    UIKeyboard::inputDidResignFirstResponder(this);
    if (auto* d = textViewDelegate())
        d->textViewDidEndEditing(self);
    NSNotificationCenter::defaultCenter()->postNotificationName(UITextViewTextDidEndEditingNotification, self);
    return true;
}

bool UITextView::replace(NSRange range, const std::string& replacement)
{
    auto self = protectedView();
    if (auto* d = textViewDelegate(); d && !d->textViewShouldChangeTextInRangeReplacementText(self, range, replacement))
        return false;
    std::u16string units = NSString::toUTF16(m_text);
    size_t start = std::min<size_t>(range.location, units.size());
    size_t length = std::min<size_t>(range.length, units.size() - start);
    std::u16string inserted = NSString::toUTF16(replacement);
    units.replace(start, length, inserted);
    m_text = NSString::fromUTF16(units);
    m_selectedRange = { NSUInteger(start + inserted.size()), 0 };
    updateContentSize();
    setNeedsDisplay();
    if (auto* d = textViewDelegate()) {
        d->textViewDidChangeSelection(self);
        d->textViewDidChange(self);
    }
    NSNotificationCenter::defaultCenter()->postNotificationName(UITextViewTextDidChangeNotification, self);
    return true;
}

void UITextView::insertText(const std::string& text)
{
    if (!m_editing)
        return;
    replace(m_selectedRange, text);
}

void UITextView::deleteBackward()
{
    if (!m_editing)
        return;
    if (m_selectedRange.length > 0) {
        replace(m_selectedRange, "");
        return;
    }
    if (m_selectedRange.location == 0)
        return;
    std::u16string units = NSString::toUTF16(m_text);
    size_t end = std::min<size_t>(m_selectedRange.location, units.size());
    size_t length = 1;
    if (end >= 2 && units[end - 1] >= 0xDC00 && units[end - 1] <= 0xDFFF && units[end - 2] >= 0xD800
        && units[end - 2] <= 0xDBFF)
        length = 2;
    replace({ NSUInteger(end - length), NSUInteger(length) }, "");
}

void UITextView::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    // A tap (not a drag) on an editable text view starts editing.
    bool tap = isTapInProgress();
    UIScrollView::touchesEnded(touches, event);
    if (tap && m_editable)
        becomeFirstResponder();
}

void UITextView::drawRect(CGRect)
{
    if (m_text.empty())
        return;
    (m_textColor ? m_textColor : UIColor::blackColor())->set();
    CGRect b = bounds();
    CGRect textRect = CGRectMake(m_textContainerInset.left + kLinePadding, m_textContainerInset.top,
        std::max<CGFloat>(0, b.size.width - m_textContainerInset.left - m_textContainerInset.right - 2 * kLinePadding),
        contentSize().height);
    NSString_Drawing::drawInRectWithFont(m_text, textRect, font(), NSLineBreakByWordWrapping, m_textAlignment);
}
