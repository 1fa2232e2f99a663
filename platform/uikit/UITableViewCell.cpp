#include "uikit/UITableViewCell.h"

#include "graphics/UIImage.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

VX_REGISTER_CREATABLE_CLASS(UITableViewCell);

namespace {
// Room kept on the right for a standard accessory.
constexpr CGFloat kAccessoryWidth = 33;
constexpr CGFloat kMargin = 15;
constexpr CGFloat kIndentationWidth = 10;
} // namespace

void UITableViewCell::setUpCell(UITableViewCellStyle style, const std::string& reuseIdentifier)
{
    m_style = style;
    m_reuseIdentifier = reuseIdentifier;
    m_contentView = UIView::initWithFrame(bounds());
    addSubview(m_contentView);
    m_imageView = UIImageView::initWithFrame(CGRectZero);
    m_contentView->addSubview(m_imageView);
    m_textLabel = UILabel::initWithFrame(CGRectZero);
    m_contentView->addSubview(m_textLabel);
    if (style != UITableViewCellStyleDefault) {
        m_detailTextLabel = UILabel::initWithFrame(CGRectZero);
        m_contentView->addSubview(m_detailTextLabel);
    }
}

void UITableViewCell::setAccessoryView(const Ref<UIView>& view)
{
    if (m_accessoryView)
        m_accessoryView->removeFromSuperview();
    m_accessoryView = view;
    if (view)
        addSubview(view);
    setNeedsLayout();
}

void UITableViewCell::setBackgroundView(const Ref<UIView>& view)
{
    if (m_backgroundView)
        m_backgroundView->removeFromSuperview();
    m_backgroundView = view;
    if (view)
        insertSubviewAtIndex(view, 0);
    setNeedsLayout();
}

void UITableViewCell::setSelectedBackgroundView(const Ref<UIView>& view)
{
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->removeFromSuperview();
    m_selectedBackgroundView = view;
    updateSelectionAppearance();
}

void UITableViewCell::setSelectedAnimated(bool selected, bool)
{
    m_selected = selected;
    updateSelectionAppearance();
}

void UITableViewCell::setHighlightedAnimated(bool highlighted, bool)
{
    m_highlighted = highlighted;
    updateSelectionAppearance();
}

void UITableViewCell::setEditingAnimated(bool editing, bool)
{
    m_editing = editing;
    setNeedsLayout();
}

void UITableViewCell::updateSelectionAppearance()
{
    // A cell with no selection style never looks selected.
    bool shown = (m_selected || m_highlighted) && m_selectionStyle != UITableViewCellSelectionStyleNone;
    if (m_textLabel)
        m_textLabel->setHighlighted(shown);
    if (m_detailTextLabel)
        m_detailTextLabel->setHighlighted(shown);
    if (!m_selectedBackgroundView)
        return;
    if (shown && !m_selectedBackgroundView->superview()) {
        m_selectedBackgroundView->setFrame(bounds());
        insertSubviewBelowSubview(m_selectedBackgroundView, m_contentView);
    } else if (!shown && m_selectedBackgroundView->superview()) {
        m_selectedBackgroundView->removeFromSuperview();
    }
}

void UITableViewCell::prepareForReuse()
{
    m_selected = false;
    m_highlighted = false;
    updateSelectionAppearance();
}

void UITableViewCell::layoutSubviews()
{
    CGRect b = bounds();
    auto accessory = m_editing ? nullptr : m_accessoryView;
    auto type = m_editing ? m_editingAccessoryType : m_accessoryType;
    CGFloat right = 0;
    if (accessory) {
        CGSize size = accessory->bounds().size;
        right = size.width + kMargin;
        accessory->setFrame(CGRectMake(
            b.size.width - kMargin - size.width, (b.size.height - size.height) / 2, size.width, size.height));
    } else if (type != UITableViewCellAccessoryNone) {
        right = kAccessoryWidth;
    }
    CGFloat left = m_editing ? 38 : 0;
    if (m_backgroundView)
        m_backgroundView->setFrame(b);
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->setFrame(b);
    m_contentView->setFrame(CGRectMake(left, 0, std::max<CGFloat>(0, b.size.width - left - right), b.size.height));

    CGRect content = m_contentView->bounds();
    CGFloat x = kMargin + m_indentationLevel * kIndentationWidth;
    if (m_imageView->image()) {
        CGSize size = m_imageView->image()->size();
        m_imageView->setFrame(CGRectMake(x, (content.size.height - size.height) / 2, size.width, size.height));
        x += size.width + kMargin;
    } else {
        m_imageView->setFrame(CGRectZero);
    }
    CGFloat width = std::max<CGFloat>(0, content.size.width - x - kMargin);
    switch (m_style) {
    case UITableViewCellStyleDefault:
        m_textLabel->setFrame(CGRectMake(x, 0, width, content.size.height));
        break;
    case UITableViewCellStyleSubtitle:
        m_textLabel->setFrame(CGRectMake(x, content.size.height / 2 - 20, width, 20));
        m_detailTextLabel->setFrame(CGRectMake(x, content.size.height / 2, width, 16));
        break;
    case UITableViewCellStyleValue1:
    case UITableViewCellStyleValue2:
        m_textLabel->setFrame(CGRectMake(x, 0, width / 2, content.size.height));
        m_detailTextLabel->setFrame(CGRectMake(x + width / 2, 0, width / 2, content.size.height));
        break;
    }
}
