#include "app/view-controllers/gallery/KESTNoImageWarningView.h"

#include "foundation/NSBundle.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"

VX_REGISTER_CLASS(KESTNoImageWarningView);

Ref<KESTNoImageWarningView> KESTNoImageWarningView::viewFromNib()
{
    auto objects
        = UINib::nibWithNibNameBundle("KESTNoImageWarningView", nullptr)->instantiateWithOwnerOptions(nullptr, {});
    for (const auto& object : objects) {
        if (auto view = object.objectAs<KESTNoImageWarningView>())
            return view;
    }
    return nullptr;
}

const char* KESTNoImageWarningView::uploadAddress()
{
    return "volantrix.example/upload";
}

void KESTNoImageWarningView::awakeFromNib()
{
    setBackgroundColor(UIColor::clearColor());
    setContentMode(UIViewContentModeRedraw);
    m_label = UILabel::initWithFrame(bounds());
    m_label->setBackgroundColor(UIColor::clearColor());
    m_label->setNumberOfLines(0);
    m_label->setFont(UIFont::systemFontOfSize(10));
    m_label->setTextColor(UIColor::whiteColor());
    m_label->setShadowColor(UIColor::colorWithWhiteAlpha(0, 0.5f));
    m_label->setShadowOffset(CGSizeMake(0, 1));
    m_label->setText(NSLocalizedString("No image available. Upload your own to volantrix.example/upload"));
    addSubview(m_label);
}

void KESTNoImageWarningView::layoutSubviews()
{
    UIView::layoutSubviews();
    if (m_label)
        m_label->setFrame(CGRectMake(40, 0, bounds().size.width - 32, bounds().size.height));
}

void KESTNoImageWarningView::drawRect(CGRect)
{
    auto image = UIImage::imageNamed("noImageWarning.png");
    if (!image)
        return;
    image->resizableImageWithCapInsets(UIEdgeInsetsMake(0, 31, 0, 15))->drawInRect(bounds());
}
