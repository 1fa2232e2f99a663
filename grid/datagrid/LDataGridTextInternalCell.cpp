#include "grid/datagrid/LDataGridTextInternalCell.h"

#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridCellStyle.h"
#include "uikit/UILabel.h"
#include "uikit/UITextField.h"
#include "uikit/UITextView.h"

Ref<LDataGridTextInternalCell> LDataGridTextInternalCell::initWithReuseIdentifier(
    const std::string& reuseIdentifier, Lines lines)
{
    auto cell = makeView<LDataGridTextInternalCell>(CGRectZero);
    cell->initialiseCell(reuseIdentifier);
    cell->m_lines = lines;
    if (lines == Lines::Single) {
        auto field = UITextField::initWithFrame(CGRectZero);
        field->setUserInteractionEnabled(false);
        cell->setTextField(field);
    } else {
        auto label = UILabel::initWithFrame(CGRectZero);
        label->setNumberOfLines(0);
        label->setBackgroundColor(UIColor::clearColor());
        cell->setTextLabel(label);
        cell->m_editingTextView = UITextView::initWithFrame(CGRectZero);
    }
    return cell;
}

void LDataGridTextInternalCell::setTextField(const Ref<UITextField>& field)
{
    if (m_textField == field)
        return;
    if (m_textField)
        m_textField->removeFromSuperview();
    m_textField = field;
    if (field) {
        addSubview(field);
        layoutText();
    }
}

void LDataGridTextInternalCell::setTextLabel(const Ref<UILabel>& label)
{
    if (m_textLabel == label)
        return;
    if (m_textLabel)
        m_textLabel->removeFromSuperview();
    m_textLabel = label;
    if (label) {
        addSubview(label);
        layoutText();
    }
}

std::string LDataGridTextInternalCell::text() const
{
    if (m_textField)
        return m_textField->text();
    if (m_textLabel)
        return m_textLabel->text();
    return {};
}

void LDataGridTextInternalCell::setText(const std::string& text)
{
    if (m_textField)
        m_textField->setText(text);
    if (m_textLabel)
        m_textLabel->setText(text);
}

void LDataGridTextInternalCell::setContentInset(UIEdgeInsets inset)
{
    m_contentInset = inset;
    layoutText();
}

void LDataGridTextInternalCell::applyStyle(const Ref<LGridCellStyle>& style)
{
    if (!style)
        return;
    LGridCell::applyStyle(style);
    if (style->contentInsetSetByUser())
        m_contentInset = style->contentInset();
    auto alignment = static_cast<NSTextAlignment>(style->textAlignment());
    if (m_textField) {
        m_textField->setTextColor(style->textColor());
        m_textField->setFont(style->font());
        m_textField->setTextAlignment(alignment);
        switch (style->textVerticalAlignment()) {
        case 1:
            m_textField->setContentVerticalAlignment(UIControlContentVerticalAlignmentTop);
            break;
        case 2:
            m_textField->setContentVerticalAlignment(UIControlContentVerticalAlignmentBottom);
            break;
        case 3:
            m_textField->setContentVerticalAlignment(UIControlContentVerticalAlignmentFill);
            break;
        default:
            m_textField->setContentVerticalAlignment(UIControlContentVerticalAlignmentCenter);
            break;
        }
    }
    if (m_textLabel) {
        m_textLabel->setTextColor(style->textColor());
        m_textLabel->setFont(style->font());
        m_textLabel->setTextAlignment(alignment);
    }
    layoutText();
}

void LDataGridTextInternalCell::setFrame(CGRect frame)
{
    LGridCell::setFrame(frame);
    layoutText();
}

void LDataGridTextInternalCell::layoutText()
{
    CGRect b = bounds();
    CGRect inner = CGRectMake(m_contentInset.left, m_contentInset.top,
        std::max<CGFloat>(0, b.size.width - m_contentInset.left - m_contentInset.right),
        std::max<CGFloat>(0, b.size.height - m_contentInset.top - m_contentInset.bottom));
    if (m_textField)
        m_textField->setFrame(inner);
    if (m_textLabel)
        m_textLabel->setFrame(inner);
    if (m_editingTextView)
        m_editingTextView->setFrame(inner);
}
