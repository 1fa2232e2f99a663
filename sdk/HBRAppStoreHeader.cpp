#include "sdk/HBRAppStoreHeader.h"

#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "sdk/HBRHarborHelper.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(HBRAppStoreHeader);

namespace {

Ref<UIColor> grey(int level)
{
    return UIColor::colorWithRedGreenBlueAlpha(level / 255.0f, level / 255.0f, level / 255.0f, 1);
}

} // namespace

Ref<HBRAppStoreHeader> HBRAppStoreHeader::initWithFrame(CGRect frame)
{
    auto header = makeView<HBRAppStoreHeader>(frame);
    header->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    header->setBackgroundColor(grey(245));
    header->m_style = 0;
    return header;
}

void HBRAppStoreHeader::setHeaderText(const std::string& text)
{
    if (text == m_headerText)
        return;
    m_headerText = text;
    setNeedsLayout();
    setNeedsDisplay();
}

void HBRAppStoreHeader::setSubHeaderText(const std::string& text)
{
    if (text == m_subHeaderText)
        return;
    m_subHeaderText = text;
    setNeedsLayout();
    setNeedsDisplay();
}

void HBRAppStoreHeader::setIconImage(const Ref<UIImage>& image)
{
    if (image == m_sourceIcon)
        return;
    m_sourceIcon = image;
    auto scaled = HBRImageScaledToFit(image, CGSizeMake(72, 72), true);
    m_iconImage = HBRImageWithRoundedCorners(scaled, m_style == 1 ? 16 : 12, 0);
    setNeedsDisplay();
}

void HBRAppStoreHeader::setStyle(uint32_t style)
{
    m_style = style;
    setNeedsLayout();
    setNeedsDisplay();
}

void HBRAppStoreHeader::drawRect(CGRect rect)
{
    auto context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    CGRect b = bounds();
    if (m_style == 1) {
        CGContextSetStrokeColorWithColor(context, grey(186)->CGColor());
        CGContextSetLineWidth(context, 1);
        CGContextMoveToPoint(context, b.origin.x, b.size.height - 0.5f);
        CGContextAddLineToPoint(context, b.origin.x + b.size.width, b.size.height - 0.5f);
        CGContextStrokePath(context);
    } else {
        // A shade along the bottom edge.
        for (int i = 0; i < 3; ++i) {
            int level = 186 + (235 - 186) * i / 2;
            CGContextSetFillColorWithColor(context, grey(level)->CGColor());
            CGContextFillRect(context, CGRectMake(0, b.size.height - 3 + i, b.size.width, 1));
        }
    }
    (void)rect;
    if (m_iconImage)
        m_iconImage->drawAtPoint(CGPointMake(14, 12));
}

void HBRAppStoreHeader::layoutSubviews()
{
    UIView::layoutSubviews();
    if (m_style == 1)
        setBackgroundColor(UIColor::whiteColor());
    CGFloat width = bounds().size.width + 48;
    if (!m_headerLabelView) {
        m_headerLabelView = UILabel::initWithFrame(CGRectZero);
        m_headerLabelView->setFont(UIFont::boldSystemFontOfSize(15));
        m_headerLabelView->setTextColor(grey(61));
        m_headerLabelView->setBackgroundColor(UIColor::clearColor());
        addSubview(m_headerLabelView);
        m_middleLabelView = UILabel::initWithFrame(CGRectZero);
        m_middleLabelView->setFont(UIFont::systemFontOfSize(10));
        m_middleLabelView->setTextColor(grey(100));
        m_middleLabelView->setBackgroundColor(UIColor::clearColor());
        addSubview(m_middleLabelView);
    }
    m_headerLabelView->setFrame(CGRectMake(96, 12, width, 20));
    m_headerLabelView->setText(m_headerText);
    m_middleLabelView->setFrame(CGRectMake(96, 29, width, 20));
    m_middleLabelView->setText(m_subHeaderText);
}
