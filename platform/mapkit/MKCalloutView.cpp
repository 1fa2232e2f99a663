#include "mapkit/MKCalloutView.h"

#include "graphics/UIColor.h"
#include "uikit/UILabel.h"

#include <algorithm>

Ref<MKCalloutView> MKCalloutView::initForAnnotationView(const Ref<MKAnnotationView>& view)
{
    auto callout = makeView<MKCalloutView>(CGRectZero);
    callout->m_annotationView = view;
    callout->setBackgroundColor(UIColor::whiteColor());
    callout->m_titleLabel = UILabel::initWithFrame(CGRectZero);
    callout->m_subtitleLabel = UILabel::initWithFrame(CGRectZero);
    callout->addSubview(callout->m_titleLabel);
    callout->addSubview(callout->m_subtitleLabel);
    if (view->leftCalloutAccessoryView())
        callout->addSubview(view->leftCalloutAccessoryView());
    if (view->rightCalloutAccessoryView())
        callout->addSubview(view->rightCalloutAccessoryView());
    callout->refresh();
    return callout;
}

void MKCalloutView::refresh()
{
    const auto& annotation = m_annotationView->annotation();
    m_title = annotation ? annotation->title().value_or("") : "";
    m_subtitle = annotation ? annotation->subtitle().value_or("") : "";
    m_titleLabel->setText(m_title);
    m_subtitleLabel->setText(m_subtitle);
    m_titleLabel->sizeToFit();
    m_subtitleLabel->sizeToFit();

    const CGFloat margin = 8;
    auto left = m_annotationView->leftCalloutAccessoryView();
    auto right = m_annotationView->rightCalloutAccessoryView();
    CGFloat leftWidth = left ? left->bounds().size.width + margin : 0;
    CGFloat rightWidth = right ? right->bounds().size.width + margin : 0;
    CGSize title = m_titleLabel->bounds().size;
    CGSize subtitle = m_subtitle.empty() ? CGSizeZero : m_subtitleLabel->bounds().size;
    CGFloat textWidth = std::max(title.width, subtitle.width);
    CGFloat textHeight = title.height + subtitle.height;
    CGFloat accessoryHeight = std::max(left ? left->bounds().size.height : 0, right ? right->bounds().size.height : 0);
    CGFloat height = std::max(textHeight, accessoryHeight) + 2 * margin;
    CGFloat width = margin + leftWidth + textWidth + rightWidth + margin;

    m_titleLabel->setFrame(CGRectMake(margin + leftWidth, (height - textHeight) / 2, title.width, title.height));
    m_subtitleLabel->setFrame(
        CGRectMake(margin + leftWidth, (height - textHeight) / 2 + title.height, subtitle.width, subtitle.height));
    m_subtitleLabel->setHidden(m_subtitle.empty());
    if (left)
        left->setFrame(CGRectMake(
            margin, (height - left->bounds().size.height) / 2, left->bounds().size.width, left->bounds().size.height));
    if (right)
        right->setFrame(CGRectMake(width - margin - right->bounds().size.width,
            (height - right->bounds().size.height) / 2, right->bounds().size.width, right->bounds().size.height));

    // Above the annotation view's top middle, moved by its callout offset.
    auto anchor = m_annotationView->frame();
    auto offset = m_annotationView->calloutOffset();
    setFrame(CGRectMake(anchor.origin.x + anchor.size.width / 2 - width / 2 + offset.x,
        anchor.origin.y - height + offset.y, width, height));
}

VX_REGISTER_CLASS(MKCalloutView);
