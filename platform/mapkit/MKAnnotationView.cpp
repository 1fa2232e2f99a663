#include "MKAnnotationView.h"

#include "CGContext.h"
#include "MKMapView.h"
#include "UIColor.h"
#include "UIGraphics.h"
#include "UIImage.h"
#include "UILabel.h"

#include <algorithm>

Ref<MKAnnotationView> MKAnnotationView::initWithAnnotation(
    const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier)
{
    return makeAnnotationView<MKAnnotationView>(annotation, std::move(reuseIdentifier));
}

void MKAnnotationView::prepareForReuse()
{
    m_selected = false;
    m_highlighted = false;
}

void MKAnnotationView::setCenterOffset(CGPoint offset)
{
    m_centerOffset = offset;
    // Re-place the view on its annotation's point.
    if (auto map = m_map.lock())
        map->setNeedsLayout();
}

void MKAnnotationView::setImage(const Ref<UIImage>& image)
{
    m_image = image;
    if (image) {
        auto c = center();
        auto b = bounds();
        b.size = image->size();
        setBounds(b);
        setCenter(c);
    }
    layer()->setContents(image ? image->CGImage() : nullptr);
    setNeedsDisplay();
}

bool MKAnnotationView::displayLayer(CALayer& layer)
{
    if (m_image) {
        layer.setContents(m_image->CGImage());
        return true;
    }
    return UIView::displayLayer(layer);
}

void MKAnnotationView::touchesEnded(const UITouchSet&, const Ref<UIEvent>&)
{
    auto map = m_map.lock();
    if (map && m_enabled)
        map->annotationViewTapped(std::static_pointer_cast<MKAnnotationView>(shared_from_this()));
}

Ref<MKPinAnnotationView> MKPinAnnotationView::initWithAnnotation(
    const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier)
{
    auto view = makeAnnotationView<MKPinAnnotationView>(annotation, std::move(reuseIdentifier));
    // The pin's point is at the bottom of a 16 x 32 view, its head above.
    view->setBounds(CGRectMake(0, 0, 16, 32));
    view->setCenterOffset(CGPointMake(0, -16));
    view->setCalloutOffset(CGPointMake(0, 0));
    view->setOpaque(false);
    return view;
}

void MKPinAnnotationView::setPinColor(MKPinAnnotationColor color)
{
    m_pinColor = color;
    setNeedsDisplay();
}

void MKPinAnnotationView::drawRect(CGRect)
{
    auto c = UIGraphicsGetCurrentContext();
    if (!c)
        return;
    static const CGFloat colours[3][3] = { { 0.85, 0.1, 0.1 }, { 0.1, 0.7, 0.2 }, { 0.55, 0.2, 0.75 } };
    const CGFloat* rgb = colours[std::min<uint32_t>(m_pinColor, 2)];
    auto b = bounds();
    CGFloat midX = b.size.width / 2;
    // The needle, then the head.
    CGContextSetRGBFillColor(c, 0.3, 0.3, 0.3, 1);
    CGContextFillRect(c, CGRectMake(midX - 1, b.size.width * 0.8, 2, b.size.height - b.size.width * 0.8));
    CGContextSetRGBFillColor(c, rgb[0], rgb[1], rgb[2], 1);
    CGContextFillEllipseInRect(c, CGRectMake(1, 1, b.size.width - 2, b.size.width - 2));
}

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

void MKAnnotationContainerView::touchesEnded(const UITouchSet&, const Ref<UIEvent>&)
{
    if (auto map = m_map.lock())
        map->emptySpotTapped();
}

VX_REGISTER_CLASS(MKAnnotationView);
VX_REGISTER_CLASS(MKPinAnnotationView);
VX_REGISTER_CLASS(MKCalloutView);
VX_REGISTER_CLASS(MKAnnotationContainerView);
