#include "grid/LGridAutoCell.h"

#include "grid/LGridCellStyle.h"
#include "grid/LGridTextField.h"

LGridAutoCell::~LGridAutoCell()
{
    // Observations end with the cell; the field is only let go.
    if (m_textField)
        m_textField->setDelegate(nullptr, {});
}

Ref<LGridAutoCell> LGridAutoCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    auto cell = makeView<LGridAutoCell>(CGRectZero);
    cell->initialiseAutoCell(reuseIdentifier);
    return cell;
}

void LGridAutoCell::initialiseAutoCell(const std::string& reuseIdentifier)
{
    initialiseTextInputCell(reuseIdentifier);
    setTextField(LGridTextField::initWithFrame(CGRectZero));
}

void LGridAutoCell::setTextField(const Ref<LGridTextField>& field)
{
    if (field == m_textField)
        return;
    if (m_textField) {
        removeObserversFrom(m_textField);
        m_textField->setDelegate(nullptr, {});
    }
    m_textField = field;
    if (!m_textField)
        return;
    addObserversTo(m_textField);
    setupTextInput(m_textField);
    m_textField->setDelegate(this, weak_from_this());
    addSubview(m_textField);
}

Ref<UIView> LGridAutoCell::textInput() const
{
    return m_textField;
}

std::string LGridAutoCell::text() const
{
    return m_textField ? m_textField->text() : std::string();
}

void LGridAutoCell::setText(const std::string& text)
{
    if (m_textField)
        m_textField->setText(text);
}

void LGridAutoCell::addObserversTo(const Ref<UIView>& input)
{
    LGridTextInputCell::addObserversTo(input);
    if (input)
        input->addObserver(
            self<LGridAutoCell>(), "contentVerticalAlignment", NSObject::NSKeyValueObservingOptionNew, nullptr);
}

void LGridAutoCell::removeObserversFrom(const Ref<UIView>& input)
{
    LGridTextInputCell::removeObserversFrom(input);
    if (input)
        input->removeObserver(self<LGridAutoCell>(), "contentVerticalAlignment");
}

void LGridAutoCell::observeValueForKeyPath(
    const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context)
{
    LGridTextInputCell::observeValueForKeyPath(keyPath, object, change, context);
    if (keyPath == "contentVerticalAlignment")
        m_useOwnVerticalTextAlignment = true;
}

void LGridAutoCell::setTextVerticalAlignmentPrivately(int32_t alignment)
{
    bool own = m_useOwnVerticalTextAlignment;
    if (m_textField)
        m_textField->setContentVerticalAlignment(static_cast<UIControlContentVerticalAlignment>(alignment));
    m_useOwnVerticalTextAlignment = own;
}

Ref<UIColor> LGridAutoCell::inputTextColor() const
{
    return m_textField ? m_textField->textColor() : nullptr;
}

void LGridAutoCell::setInputTextColor(const Ref<UIColor>& color)
{
    if (m_textField)
        m_textField->setTextColor(color);
}

Ref<UIFont> LGridAutoCell::inputFont() const
{
    return m_textField ? m_textField->font() : nullptr;
}

void LGridAutoCell::setInputFont(const Ref<UIFont>& font)
{
    if (m_textField)
        m_textField->setFont(font);
}

int32_t LGridAutoCell::inputTextAlignment() const
{
    return m_textField ? static_cast<int32_t>(m_textField->textAlignment()) : 0;
}

void LGridAutoCell::setInputTextAlignment(int32_t alignment)
{
    if (m_textField)
        m_textField->setTextAlignment(static_cast<NSTextAlignment>(alignment));
}

Ref<LGridCellStyle> LGridAutoCell::currentStyle() const
{
    auto style = LGridTextInputCell::currentStyle();
    if (m_useOwnVerticalTextAlignment && m_textField)
        style->setTextVerticalAlignment(static_cast<int32_t>(m_textField->contentVerticalAlignment()));
    if (selected()) {
        auto selectedStyle = const_cast<LGridAutoCell*>(this)->selectedStyle();
        style->setTextVerticalAlignmentPrivately(selectedStyle->textVerticalAlignment());
        style->setTextVerticalAlignmentSetByUser(selectedStyle->textVerticalAlignmentSetByUser());
    }
    return style;
}

void LGridAutoCell::applyStyle(const Ref<LGridCellStyle>& style)
{
    if (!style)
        return;
    LGridTextInputCell::applyStyle(style);
    setTextVerticalAlignmentPrivately(style->textVerticalAlignment());
}

void LGridAutoCell::recordDeselectedStyle()
{
    LGridTextInputCell::recordDeselectedStyle();
    if (m_textField)
        deselectedStyle()->setTextVerticalAlignment(static_cast<int32_t>(m_textField->contentVerticalAlignment()));
}

void LGridAutoCell::resetForReuse()
{
    LGridTextInputCell::resetForReuse();
    m_useOwnVerticalTextAlignment = false;
}

void LGridAutoCell::prepareToAcceptEditEvents(bool accept)
{
    if (m_textField)
        m_textField->setEnabled(accept);
}

bool LGridAutoCell::becomeFirstResponder()
{
    LGridTextInputCell::becomeFirstResponder();
    return m_textField && m_textField->becomeFirstResponder();
}

bool LGridAutoCell::resignFirstResponder()
{
    LGridTextInputCell::resignFirstResponder();
    return !m_textField || m_textField->resignFirstResponder();
}

bool LGridAutoCell::textFieldShouldBeginEditing(const Ref<UITextField>& field)
{
    return textInputShouldBeginEditing(field);
}

void LGridAutoCell::textFieldDidEndEditing(const Ref<UITextField>& field)
{
    textInputDidEndEditing(field);
}

bool LGridAutoCell::textFieldShouldReturn(const Ref<UITextField>& field)
{
    if (field)
        field->resignFirstResponder();
    return true;
}
