#include "grid/LGridAutoMultiLineCell.h"

#include "grid/LGridTextLabel.h"

LGridAutoMultiLineCell::~LGridAutoMultiLineCell()
{
    if (m_tempTextView) {
        m_tempTextView->setTextViewDelegate(nullptr, {});
        m_tempTextView->setGridDelegate(nullptr, {});
    }
}

Ref<LGridAutoMultiLineCell> LGridAutoMultiLineCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    auto cell = makeView<LGridAutoMultiLineCell>(CGRectZero);
    cell->initialiseTextInputCell(reuseIdentifier);
    auto label = LGridTextLabel::initWithFrame(CGRectZero);
    label->setTextAlignment(NSTextAlignmentCenter);
    cell->setContentInset(UIEdgeInsets { 8, 0, 0, 0 });
    cell->setTextLabel(label);
    return cell;
}

void LGridAutoMultiLineCell::setTextLabel(const Ref<LGridTextLabel>& label)
{
    if (label == m_textLabel)
        return;
    if (m_textLabel)
        removeObserversFrom(m_textLabel);
    m_textLabel = label;
    if (!m_textLabel)
        return;
    addObserversTo(m_textLabel);
    setupTextInput(m_textLabel);
    addSubview(m_textLabel);
}

Ref<UIView> LGridAutoMultiLineCell::textInput() const
{
    return m_textLabel;
}

std::string LGridAutoMultiLineCell::text() const
{
    return m_textLabel ? m_textLabel->text() : std::string();
}

void LGridAutoMultiLineCell::setText(const std::string& text)
{
    if (m_textLabel)
        m_textLabel->setText(text);
}

void LGridAutoMultiLineCell::prepareToAcceptEditEvents(bool accept)
{
    if (accept) {
        if (m_tempTextView || !m_textLabel)
            return;
        m_tempTextView = LGridTextView::initWithFrameWithDelegate(bounds(), this, weak_from_this());
        m_tempTextView->setTextViewDelegate(this, weak_from_this());
        addSubview(m_tempTextView);
        m_textLabel->removeFromSuperview();
        m_tempTextView->setText(m_textLabel->text());
        m_tempTextView->setFont(m_textLabel->font());
        m_tempTextView->setTextColor(m_textLabel->textColor());
        m_tempTextView->setTextAlignment(m_textLabel->textAlignment());
        m_tempTextView->setBackgroundColor(m_textLabel->backgroundColor());
        return;
    }
    if (!m_tempTextView)
        return;
    if (m_textLabel)
        m_textLabel->setText(m_tempTextView->text());
    m_tempTextView->setTextViewDelegate(nullptr, {});
    m_tempTextView->setGridDelegate(nullptr, {});
    m_tempTextView->removeFromSuperview();
    m_tempTextView = nullptr;
    if (m_textLabel)
        addSubview(m_textLabel);
}

bool LGridAutoMultiLineCell::becomeFirstResponder()
{
    LGridTextInputCell::becomeFirstResponder();
    return m_tempTextView && m_tempTextView->becomeFirstResponder();
}

bool LGridAutoMultiLineCell::resignFirstResponder()
{
    LGridTextInputCell::resignFirstResponder();
    return !m_tempTextView || m_tempTextView->resignFirstResponder();
}

bool LGridAutoMultiLineCell::textViewShouldBeginEditing(const Ref<UITextView>& textView)
{
    return textInputShouldBeginEditing(textView);
}

void LGridAutoMultiLineCell::textViewDidEndEditing(const Ref<UITextView>& textView)
{
    textInputDidEndEditing(textView);
}

void LGridAutoMultiLineCell::didFinishLayingOutSGridTextView(const Ref<LGridTextView>& textView)
{
    if (textView)
        textView->scrollRangeToVisible(textView->selectedRange());
}

Ref<UIColor> LGridAutoMultiLineCell::inputTextColor() const
{
    return m_textLabel ? m_textLabel->textColor() : nullptr;
}

void LGridAutoMultiLineCell::setInputTextColor(const Ref<UIColor>& color)
{
    if (m_textLabel)
        m_textLabel->setTextColor(color);
}

Ref<UIFont> LGridAutoMultiLineCell::inputFont() const
{
    return m_textLabel ? m_textLabel->font() : nullptr;
}

void LGridAutoMultiLineCell::setInputFont(const Ref<UIFont>& font)
{
    if (m_textLabel)
        m_textLabel->setFont(font);
}

int32_t LGridAutoMultiLineCell::inputTextAlignment() const
{
    return m_textLabel ? static_cast<int32_t>(m_textLabel->textAlignment()) : 0;
}

void LGridAutoMultiLineCell::setInputTextAlignment(int32_t alignment)
{
    if (m_textLabel)
        m_textLabel->setTextAlignment(static_cast<NSTextAlignment>(alignment));
}
