#include "app/view-controllers/intro/KESTIntroPageView.h"

#include "foundation/NSBundle.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "uikit/UIDevice.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIScreen.h"
#include "uikit/UISearchBar.h"

#include <cmath>

VX_REGISTER_CLASS(KESTIntroPageView);

namespace {

CGSize measured(const Ref<UILabel>& label, CGFloat width)
{
    return NSString_Drawing::boundingRectWithSize(label->text(), CGSizeMake(width, 100000),
        NSStringDrawingUsesLineFragmentOrigin | NSStringDrawingTruncatesLastVisibleLine,
        Value::dictionary({ { NSFontAttributeName, Value(label->font()) } }))
        .size;
}

} // namespace

Ref<KESTIntroPageView> KESTIntroPageView::initWithFrame(CGRect frame)
{
    auto page = makeView<KESTIntroPageView>(frame);
    page->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    page->titleLabel = UILabel::initWithFrame(CGRectZero);
    page->titleLabel->setTextAlignment(NSTextAlignmentCenter);
    page->titleLabel->setFont(UIFont::boldSystemFontOfSize(20));
    page->titleLabel->setTextColor(UIColor::whiteColor());
    page->titleLabel->setNumberOfLines(0);
    page->contentLabel = UILabel::initWithFrame(CGRectZero);
    page->contentLabel->setTextAlignment(NSTextAlignmentCenter);
    page->contentLabel->setFont(UIFont::systemFontOfSize(18));
    page->contentLabel->setTextColor(UIColor::whiteColor());
    page->contentLabel->setNumberOfLines(0);
    page->iconImageView = UIImageView::initWithFrame(CGRectZero);
    page->addSubview(page->iconImageView);
    page->addSubview(page->titleLabel);
    page->addSubview(page->contentLabel);
    return page;
}

void KESTIntroPageView::layoutSubviews()
{
    UIView::layoutSubviews();
    iconImageView->setImage(icon);
    CGFloat W = bounds().size.width;
    CGFloat H = bounds().size.height;
    CGSize iconSize = icon ? icon->size() : CGSizeMake(0, 0);
    auto orientation = UIDevice::currentDevice()->orientation();
    bool landscape
        = orientation == UIDeviceOrientationLandscapeLeft || orientation == UIDeviceOrientationLandscapeRight;
    CGFloat L = landscape ? 289 - iconSize.width : W - 60;
    CGSize title = measured(titleLabel, L);
    CGSize text = measured(contentLabel, L);
    auto c = [](CGFloat v) { return CGFloat(std::ceil(v)); };
    if (landscape) {
        CGFloat block = std::max(text.height + title.height + 5, iconSize.height);
        iconImageView->setFrame(
            CGRectMake(c(W / 2 - 144.5f), c(H / 2 - block / 2), c(iconSize.width), c(iconSize.height)));
        CGRect iconFrame = iconImageView->frame();
        titleLabel->setFrame(
            CGRectMake(c(iconFrame.origin.x + 85), c(iconFrame.origin.y), c(title.width), c(title.height)));
        CGRect titleFrame = titleLabel->frame();
        contentLabel->setFrame(CGRectMake(c(iconFrame.origin.x + 85),
            c(titleFrame.origin.y + titleFrame.size.height + 5), c(text.width), c(text.height)));
        titleLabel->setTextAlignment(NSTextAlignmentLeft);
        contentLabel->setTextAlignment(NSTextAlignmentLeft);
    } else {
        iconImageView->setFrame(CGRectMake(c(W / 2 - iconSize.width / 2),
            c(H / 2 - (text.height + iconSize.height + 5 + title.height + 5) / 2), c(iconSize.width),
            c(iconSize.height)));
        CGRect iconFrame = iconImageView->frame();
        titleLabel->setFrame(CGRectMake(c(W / 2 - title.width / 2), c(iconFrame.origin.y + iconFrame.size.height + 5),
            c(title.width), c(title.height)));
        CGRect titleFrame = titleLabel->frame();
        contentLabel->setFrame(CGRectMake(c(W / 2 - text.width / 2),
            c(titleFrame.origin.y + titleFrame.size.height + 5), c(text.width), c(text.height)));
        titleLabel->setTextAlignment(NSTextAlignmentCenter);
        contentLabel->setTextAlignment(NSTextAlignmentCenter);
    }
}

Ref<UIImage> KESTIntroPageView::relevantViewSnapshot()
{
    if (!relevantView)
        return nullptr;
    Ref<UIView> source = relevantView;
    bool afterUpdates = false;
    if (std::dynamic_pointer_cast<UISearchBar>(relevantView)) {
        if (!m_tmpSearchBar) {
            m_tmpSearchBar = UISearchBar::initWithFrame(CGRectZero);
            m_tmpSearchBar->setPlaceholder(NSBundle::mainBundle()->localizedStringForKey("Search", "", ""));
            m_tmpSearchBar->setSearchBarStyle(UISearchBarStyle(1));
            m_tmpSearchBar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
            m_tmpSearchBar->setBackgroundColor(UIColor::colorWithWhiteAlpha(0, 0));
            m_tmpSearchBar->setBackgroundImage(UIImage::imageNamed("transparent"));
        }
        m_tmpSearchBar->setFrame(relevantView->frame());
        source = m_tmpSearchBar;
        afterUpdates = true;
    }
    CGSize size = source->bounds().size;
    if (size.width <= 0 || size.height <= 0)
        return nullptr;
    UIGraphicsBeginImageContextWithOptions(size, false, UIScreen::mainScreen()->scale());
    source->drawViewHierarchyInRectAfterScreenUpdates(source->bounds(), afterUpdates);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}
