#include "app/widgets/KESTRouteProgressView.h"

#include "app/core/KESTFlightDataManager.h"
#include "foundation/NSBundle.h"
#include "foundation/NSCharacterSet.h"
#include "foundation/NSString.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"

#include <algorithm>

VX_REGISTER_CLASS(KESTRouteProgressView);

namespace {

constexpr CGFloat kInset = 22;

Ref<UIColor> terminalColor()
{
    return UIColor::colorWithRedGreenBlueAlpha(121 / 255.0f, 123 / 255.0f, 131 / 255.0f, 1);
}

Ref<UILabel> makeDistanceLabel(CGRect frame, const Ref<UIColor>& colour)
{
    auto label = UILabel::initWithFrame(frame);
    label->setFont(UIFont::preferredFontForTextStyle(UIFontTextStyleFootnote));
    label->setTextColor(colour);
    label->setBackgroundColor(UIColor::clearColor());
    return label;
}

std::string entryText(const Value& entry, size_t index)
{
    const Value& part = entry.objectAtIndex(index);
    return part.isString() ? part.string() : std::string();
}

} // namespace

Ref<KESTRouteProgressView> KESTRouteProgressView::initWithFrame(CGRect frame)
{
    auto view = makeView<KESTRouteProgressView>(frame);
    view->setBackgroundColor(UIColor::clearColor());
    view->setContentMode(UIViewContentModeRedraw);
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);

    auto scroll = UIScrollView::initWithFrame(
        CGRectMake(frame.origin.x + kInset, frame.origin.y, frame.size.width - 2 * kInset, frame.size.height));
    scroll->setShowsHorizontalScrollIndicator(false);
    scroll->setShowsVerticalScrollIndicator(false);
    scroll->setPagingEnabled(true);
    scroll->setClipsToBounds(false);
    scroll->setBackgroundColor(UIColor::clearColor());
    scroll->setDelegate(view.get(), view);
    scroll->setContentMode(UIViewContentModeRedraw);
    scroll->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->addSubview(scroll);
    view->m_scrollView = scroll;

    view->m_internalView = KESTRouteProgressInternalView::initWithFrame(CGRectZero);
    view->m_internalView->setDelegate(view.get(), view);
    scroll->addSubview(view->m_internalView);

    view->m_distanceTravelledLabel
        = makeDistanceLabel(CGRectMake(16, 65, 100, 20), UIColor::colorWithRedGreenBlueAlpha(0, 122 / 255.0f, 1, 1));
    view->m_distanceTravelledLabel->setText(NSLocalizedString("N/A"));
    view->addSubview(view->m_distanceTravelledLabel);
    view->m_totalDistanceLabel = makeDistanceLabel(CGRectMake(frame.size.width - 122, 65, 100, 20), terminalColor());
    view->m_totalDistanceLabel->setTextAlignment(NSTextAlignmentRight);
    view->m_totalDistanceLabel->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
    view->addSubview(view->m_totalDistanceLabel);
    return view;
}

void KESTRouteProgressView::setAirportData(const Value& entries)
{
    Value data = entries;
    if (!data.isArray() || data.count() < 2) {
        std::string na = NSLocalizedString("N/A");
        Value placeholder = Value::array({ Value(na), Value(na), Value(na), Value(na) });
        data = Value::array({ placeholder, placeholder });
    }
    if (!m_airportData.isNil()) {
        performLayout();
        return;
    }
    m_airportData = data;
    for (const auto& label : m_airportLabels)
        label->removeFromSuperview();
    for (const auto& label : m_airportTerminalLabels)
        label->removeFromSuperview();
    m_airportLabels.clear();
    m_airportTerminalLabels.clear();
    for (size_t i = 0; i < data.count(); ++i) {
        const Value& entry = data.objectAtIndex(i);
        auto airport = UILabel::initWithFrame(CGRectZero);
        airport->setText(entryText(entry, m_showFullAirportNames ? 2 : 0));
        airport->setTag(static_cast<int32_t>(i));
        airport->setFont(UIFont::preferredFontForTextStyle(UIFontTextStyleBody));
        airport->setBackgroundColor(UIColor::clearColor());
        m_scrollView->addSubview(airport);
        m_airportLabels.push_back(airport);

        auto terminal = UILabel::initWithFrame(CGRectZero);
        terminal->setText(m_showAirportNameUnderTitle
                ? NSString::stringWithFormat("%@ (%@)", entryText(entry, 1), entryText(entry, 0))
                : NSLocalizedString("N/A"));
        terminal->setTag(static_cast<int32_t>(i));
        terminal->setHidden(!m_showTerminals);
        terminal->setFont(UIFont::preferredFontForTextStyle(UIFontTextStyleCaption1));
        terminal->setTextAlignment(i == 0 ? NSTextAlignmentLeft : NSTextAlignmentRight);
        terminal->setTextColor(terminalColor());
        terminal->setBackgroundColor(UIColor::clearColor());
        m_scrollView->addSubview(terminal);
        m_airportTerminalLabels.push_back(terminal);
    }
    performLayout();
}

void KESTRouteProgressView::setProgressData(const Value& data)
{
    if (data.isDictionary()) {
        m_progress = data.objectForKey("percentageIntoJourney").floatValue();
        m_currentDistance = data.objectForKey("distanceFromDeparture").floatValue();
        m_totalDistance = data.objectForKey("totalDistance").floatValue();
        m_totalHops = data.objectForKey("totalHops").intValue();
        m_currentHop = data.objectForKey("currentHop").intValue();
    } else {
        m_progress = m_currentDistance = m_totalDistance = 0;
        m_totalHops = m_currentHop = 0;
    }
    auto formatter = KESTFlightDataManager::sharedInstance();
    m_distanceTravelledLabel->setText(formatter->formattedDistanceWithMiles(m_currentDistance).value_or(""));
    m_totalDistanceLabel->setText(formatter->formattedDistanceWithMiles(m_totalDistance).value_or(""));
    performLayout();
    if (!m_hasScrolledToLatestHop) {
        m_scrollView->setContentOffset(CGPointMake(m_scrollView->bounds().size.width * m_currentHop, 0));
        m_hasScrolledToLatestHop = true;
    }
}

void KESTRouteProgressView::setArrTermDepTerm(const std::string& arrivalTerminal, const std::string& departureTerminal)
{
    auto whitespace = NSCharacterSet::whitespaceCharacterSet();
    std::string arrival = NSString::stringByTrimmingCharactersInSet(arrivalTerminal, whitespace);
    std::string departure = NSString::stringByTrimmingCharactersInSet(departureTerminal, whitespace);
    auto text = [](const std::string& terminal) {
        return NSString::stringWithFormat(NSLocalizedString("Terminal %@"), terminal.empty() ? "N/A" : terminal);
    };
    // The labels exist for the hop's two airports only while the hop is inside the route.
    if (m_currentHop >= 0 && static_cast<size_t>(m_currentHop) + 1 < m_airportTerminalLabels.size()) {
        m_airportTerminalLabels[static_cast<size_t>(m_currentHop)]->setText(text(departure));
        m_airportTerminalLabels[static_cast<size_t>(m_currentHop) + 1]->setText(text(arrival));
    }
    performLayout();
}

void KESTRouteProgressView::layoutSubviews()
{
    UIView::layoutSubviews();
    performLayout();
}

void KESTRouteProgressView::placeLabels(
    const std::vector<Ref<UILabel>>& labels, const std::string& textStyle, CGFloat y, std::optional<bool> hidden)
{
    auto font = UIFont::preferredFontForTextStyle(textStyle);
    CGFloat half = (bounds().size.width - 2 * kInset) / 2;
    CGFloat sum = 0;
    CGFloat offset = m_scrollView->contentOffset().x;
    bool first = true;
    for (const auto& label : labels) {
        CGFloat width = NSString_Drawing::sizeWithAttributes(
            label->text(), Value::dictionary({ { NSFontAttributeName, Value::object(font) } }))
                            .width;
        if (width > half) {
            width = std::max<CGFloat>(0, half);
            label->setTextAlignment(NSTextAlignmentLeft);
        }
        CGFloat x = (sum > 0 ? sum - width : 0) - (first ? 6 : 0);
        if (offset >= x)
            x = sum - 6;
        label->setFrame(CGRectMake(x, y, width, 20));
        if (hidden)
            label->setHidden(*hidden);
        sum += m_scrollView->bounds().size.width;
        first = false;
    }
}

void KESTRouteProgressView::performLayout()
{
    if (m_scrollView->isDragging() || m_scrollView->isDecelerating())
        return;
    CGRect frame = this->frame();
    CGFloat width = frame.size.width - 2 * kInset;
    CGFloat height = frame.size.height;
    int32_t airports = static_cast<int32_t>(m_airportData.count());
    // Before any airports arrive there are no pages: the drawing view is empty, not negative.
    CGFloat drawingWidth = std::max<CGFloat>(0, (airports - 1) * width + 2 * kInset);
    m_internalView->setFrame(CGRectMake(-kInset, 0, drawingWidth, height));
    m_scrollView->setFrame(CGRectMake(kInset, 0, width, height));
    m_scrollView->setContentSize(CGSizeMake(std::max<CGFloat>(0, drawingWidth - 2 * kInset), height));
    m_totalDistanceLabel->setFrame(CGRectMake(bounds().size.width - 122, 65, 100, 20));
    m_distanceTravelledLabel->setHidden(!m_showDistances);
    m_totalDistanceLabel->setHidden(!m_showDistances);
    placeLabels(m_airportLabels, UIFontTextStyleBody, 12, std::nullopt);
    placeLabels(m_airportTerminalLabels, UIFontTextStyleCaption1, 28, !m_showTerminals);
    m_internalView->setNeedsDisplay();
}

void KESTRouteProgressView::scrollViewDidScroll(const Ref<UIScrollView>& scrollView)
{
    CGFloat offset = scrollView->contentOffset().x;
    CGFloat page = scrollView->bounds().size.width;
    if (page <= 0)
        return;
    size_t next = static_cast<size_t>(std::max<CGFloat>(0, offset / page)) + 1;
    auto move = [&](const std::vector<Ref<UILabel>>& labels, bool forward) {
        if (next >= labels.size())
            return;
        const auto& label = labels[next];
        CGRect frame = label->frame();
        if (forward && frame.origin.x < offset)
            frame.origin.x = offset - 6;
        else if (!forward && CGRectGetMaxX(frame) > offset + page)
            frame.origin.x = offset + page - frame.size.width;
        else
            return;
        label->setFrame(frame);
    };
    if (offset > m_lastContentOffset) {
        move(m_airportLabels, true);
        move(m_airportTerminalLabels, true);
    } else if (offset < m_lastContentOffset) {
        if (offset < 0) {
            m_lastContentOffset = static_cast<int32_t>(offset);
            return;
        }
        move(m_airportLabels, false);
        move(m_airportTerminalLabels, false);
    }
    m_lastContentOffset = static_cast<int32_t>(offset);
}
