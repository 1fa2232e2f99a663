#include "app/widgets/KESTRouteProgressView.h"

#include "app/tests/AppTestSupport.h"
#include "app/widgets/KESTHistoryRouteProgressContainerView.h"
#include "app/widgets/KESTHistoryRouteProgressView.h"
#include "graphics/UIImage.h"
#include "uikit/UILabel.h"

#include <gtest/gtest.h>

namespace {

Value entry(const std::string& code, const std::string& city)
{
    return Value::array({ Value(code), Value(code + " Airport"), Value(city), Value("Land") });
}

Value route(size_t airports)
{
    const char* codes[] = { "LHR", "JFK", "LAX", "SYD" };
    const char* cities[] = { "London", "New York", "Los Angeles", "Sydney" };
    Value list = Value::mutableArray();
    for (size_t i = 0; i < airports; ++i)
        list.addObject(entry(codes[i], cities[i]));
    return list.copy();
}

Value progress(float percentage, int32_t hop, int32_t hops)
{
    return Value::dictionary(
        { { "percentageIntoJourney", Value(percentage) }, { "distanceFromDeparture", Value(100.0) },
            { "totalDistance", Value(3000.0) }, { "currentHop", Value(hop) }, { "totalHops", Value(hops) } });
}

} // namespace

// Which airport markers are active, how much of each hop is filled and where the plane's marker
// sits, for the flown share of the route.
TEST(KESTRouteProgressView, DrawsActiveMarkersFillAndThePlaneMarker)
{
    AppTestScope scope;
    auto marker = UIImage::imageNamed("progressMarker.png");
    auto hop = UIImage::imageNamed("progressHopActive");
    ASSERT_TRUE(marker && hop);
    CGFloat mw = marker->size().width, sw = hop->size().width;
    struct Case {
        const char* name;
        size_t airports;
        float percentage;
        int32_t currentHop;
        bool showProgress;
        std::string markers;
        std::vector<CGFloat> fills; // in pages
        CGFloat markerPages; // marker centre, in pages from the first airport
    };
    const Case cases[] = {
        { "half way", 2, 50, 0, true, "AI", { 0.5 }, 0.5 },
        { "arrived", 2, 100, 0, true, "AA", { 1 }, 1 },
        { "second hop", 3, 0, 1, true, "AAI", { 1, 0 }, 1 },
        { "no progress shown", 2, 50, 0, false, "II", { 0 }, -1 },
        { "negative", 2, -10, 0, true, "II", { 0 }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = KESTRouteProgressView::initWithFrame(CGRectMake(0, 0, 320, 95));
        view->setShowProgress(c.showProgress);
        view->setAirportData(route(c.airports));
        view->setProgressData(progress(c.percentage, c.currentHop, static_cast<int32_t>(c.airports - 1)));
        view->layoutIfNeeded();
        auto internal = view->internalView();
        internal->drawRect(internal->bounds());
        CGFloat page = 320 - 44;
        EXPECT_EQ(internal->lastMarkerStates(), c.markers);
        ASSERT_EQ(internal->lastFills().size(), c.fills.size());
        for (size_t i = 0; i < c.fills.size(); ++i)
            EXPECT_NEAR(internal->lastFills()[i], c.fills[i] * page, 0.01) << "hop " << i;
        if (c.markerPages >= 0) {
            EXPECT_NEAR(internal->lastMarkerX() + mw / 2, 16 + sw + c.markerPages * page, 0.01);
        }
    }
}

TEST(KESTRouteProgressView, TakesAirportsOnceAndScrollsToTheCurrentHopOnce)
{
    AppTestScope scope;
    auto view = KESTRouteProgressView::initWithFrame(CGRectMake(0, 0, 320, 95));
    view->setShowFullAirportNames(false);
    view->setShowTerminals(true);
    view->setAirportData(route(3));
    view->setAirportData(route(4));
    ASSERT_EQ(view->airportLabels().size(), 3u) << "a second route changes nothing";
    EXPECT_EQ(view->airportLabels()[1]->text(), "JFK");
    EXPECT_EQ(view->scrollView()->contentSize().width, 2 * 276);

    view->setProgressData(progress(0, 1, 2));
    EXPECT_EQ(view->scrollView()->contentOffset().x, 276) << "the first values turn to the second page";
    view->scrollView()->setContentOffset(CGPointMake(0, 0));
    view->setProgressData(progress(10, 1, 2));
    EXPECT_EQ(view->scrollView()->contentOffset().x, 0) << "later values leave the page alone";
    EXPECT_EQ(view->distanceTravelledLabel()->text(), "100 miles");

    view->setArrTermDepTerm(" 5 ", "");
    EXPECT_EQ(view->airportTerminalLabels()[1]->text(), "Terminal N/A");
    EXPECT_EQ(view->airportTerminalLabels()[2]->text(), "Terminal 5");
    // A current hop at the last airport has no labels to write: they stay as they were.
    view->setProgressData(progress(10, 2, 2));
    view->setArrTermDepTerm("9", "8");
    EXPECT_EQ(view->airportTerminalLabels()[2]->text(), "Terminal 5");
}

TEST(KESTRouteProgressView, FewerThanTwoAirportsShowTwoPlaceholdersAndTerminalsMoveTheBar)
{
    AppTestScope scope;
    auto view = KESTRouteProgressView::initWithFrame(CGRectMake(0, 0, 320, 95));
    // Laid out before any airports: the drawing view is empty, not of negative width.
    view->layoutIfNeeded();
    EXPECT_EQ(view->internalView()->frame().size.width, 0);
    view->setAirportData(route(1));
    ASSERT_EQ(view->airportLabels().size(), 2u);
    EXPECT_EQ(view->airportLabels()[0]->text(), "N/A");
    EXPECT_TRUE(view->airportTerminalLabels()[0]->isHidden());

    auto withTerminals = KESTRouteProgressView::initWithFrame(CGRectMake(0, 0, 320, 95));
    withTerminals->setShowTerminals(true);
    withTerminals->setShowAirportNameUnderTitle(true);
    withTerminals->setAirportData(route(2));
    EXPECT_FALSE(withTerminals->airportTerminalLabels()[0]->isHidden());
    EXPECT_EQ(withTerminals->airportTerminalLabels()[1]->text(), "JFK Airport (JFK)");
    EXPECT_EQ(withTerminals->airportTerminalLabels()[1]->frame().origin.y, 28);
}

// The terminal row follows the flag at every layout, both ways.
TEST(KESTRouteProgressView, TerminalRowFollowsTheFlagAtEachLayout)
{
    AppTestScope scope;
    auto view = KESTRouteProgressView::initWithFrame(CGRectMake(0, 0, 320, 95));
    view->setAirportData(route(3));
    for (bool shown : { false, true, false, true }) {
        SCOPED_TRACE(shown ? "shown" : "hidden");
        view->setShowTerminals(shown);
        view->performLayout();
        for (const auto& label : view->airportTerminalLabels())
            EXPECT_EQ(label->isHidden(), !shown);
        for (const auto& label : view->airportLabels())
            EXPECT_FALSE(label->isHidden());
    }
}

TEST(KESTHistoryRouteProgressView, LabelsEachHopOnceAndChoosesCaps)
{
    AppTestScope scope;
    auto strip = KESTHistoryRouteProgressContainerView::initWithFrame(CGRectMake(0, 0, 300, 64));
    strip->setData(Value::array({ Value::array({ Value("LHR") }) }));
    EXPECT_TRUE(strip->progressView()->subviews().empty()) << "fewer than two entries make no labels";

    auto bar = KESTHistoryRouteProgressView::initWithFrame(CGRectMake(0, 0, 600, 64));
    bar->setData(route(3));
    bar->setData(route(2));
    EXPECT_EQ(bar->subviews().size(), 4u) << "two hops, two labels each; the second data is ignored";
    bar->drawRect(bar->bounds());
    ASSERT_EQ(bar->lastCaps().size(), 2u);
    EXPECT_EQ(bar->lastCaps()[0].first, "flightProgressInactiveSinglehopLeftCap");
    EXPECT_EQ(bar->lastCaps()[0].second, "flightProgressRightCap");
    EXPECT_EQ(bar->lastCaps()[1].first, "flightProgressInactiveRightCap");
    EXPECT_EQ(bar->lastCaps()[1].second, "flightProgressInactiveSinglehopRightCap");

    auto container = KESTHistoryRouteProgressContainerView::initWithFrame(CGRectMake(0, 0, 300, 64));
    container->setData(route(3));
    EXPECT_EQ(container->contentOffset().x, 300) << "it opens on the last hop";
}
