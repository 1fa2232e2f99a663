#pragma once

#include "app/widgets/KESTRouteProgressInternalView.h"
#include "foundation/Value.h"
#include "uikit/UIScrollView.h"
#include "uikit/UIView.h"

#include <optional>
#include <string>
#include <vector>

class UILabel;

// A flight's route as a horizontal bar with one marker per airport, paged one hop per page:
// the flown part active, a marker where the plane is, airport labels above the bar, terminal
// (or airport name) labels under them, and the distance flown and the total distance below.
// Users set the flags, give the airport entries once ([code, name, city, country] each), then
// feed progress values and terminals. Main thread only.
class KESTRouteProgressView : public UIView, public KESTRouteProgressViewDelegate, public UIScrollViewDelegate {
    VX_OBJECT(KESTRouteProgressView, UIView)
public:
    explicit KESTRouteProgressView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<KESTRouteProgressView> initWithFrame(CGRect frame);

    bool showProgress() const override { return m_showProgress; }
    void setShowProgress(bool v) { m_showProgress = v; }
    bool showTerminals() const override { return m_showTerminals; }
    void setShowTerminals(bool v) { m_showTerminals = v; }
    bool showDistances() const override { return m_showDistances; }
    void setShowDistances(bool v) { m_showDistances = v; }
    bool showFullAirportNames() const { return m_showFullAirportNames; }
    void setShowFullAirportNames(bool v) { m_showFullAirportNames = v; }
    bool showAirportNameUnderTitle() const { return m_showAirportNameUnderTitle; }
    void setShowAirportNameUnderTitle(bool v) { m_showAirportNameUnderTitle = v; }
    const Value& airportData() const override { return m_airportData; }
    float progress() const override { return m_progress; }
    void setProgress(float v) { m_progress = v; }
    float totalDistance() const { return m_totalDistance; }
    void setTotalDistance(float v) { m_totalDistance = v; }
    float currentDistance() const { return m_currentDistance; }
    void setCurrentDistance(float v) { m_currentDistance = v; }
    int32_t totalHops() const override { return m_totalHops; }
    void setTotalHops(int32_t v) { m_totalHops = v; }
    int32_t currentHop() const override { return m_currentHop; }
    void setCurrentHop(int32_t v) { m_currentHop = v; }

    // The entries are taken once: a later call only lays out again. Fewer than two entries are
    // replaced by two "N/A" airports.
    void setAirportData(const Value& entries);
    // Takes "percentageIntoJourney", "distanceFromDeparture", "totalDistance", "totalHops" and
    // "currentHop" (nil: all 0), updates the distance labels and lays out; the first call turns
    // the pages to the current hop.
    void setProgressData(const Value& data);
    // Trimmed terminals under the current hop's airports ("N/A" when empty). Labels that do not
    // exist (a current hop at or past the last airport) are left alone.
    void setArrTermDepTerm(const std::string& arrivalTerminal, const std::string& departureTerminal);

    void layoutSubviews() override;
    void performLayout();
    void scrollViewDidScroll(const Ref<UIScrollView>& scrollView) override;

    const Ref<UIScrollView>& scrollView() const { return m_scrollView; }
    const Ref<KESTRouteProgressInternalView>& internalView() const { return m_internalView; }
    const Ref<UILabel>& distanceTravelledLabel() const { return m_distanceTravelledLabel; }
    const Ref<UILabel>& totalDistanceLabel() const { return m_totalDistanceLabel; }
    const std::vector<Ref<UILabel>>& airportLabels() const { return m_airportLabels; }
    const std::vector<Ref<UILabel>>& airportTerminalLabels() const { return m_airportTerminalLabels; }
    bool hasScrolledToLatestHop() const { return m_hasScrolledToLatestHop; }

private:
    // Places the labels of one row; `hidden`, when given, shows or hides each of them.
    void placeLabels(
        const std::vector<Ref<UILabel>>& labels, const std::string& textStyle, CGFloat y, std::optional<bool> hidden);

    bool m_showProgress { true };
    bool m_showTerminals { false };
    bool m_showDistances { false };
    bool m_showFullAirportNames { true };
    bool m_showAirportNameUnderTitle { false };
    Value m_airportData;
    float m_progress { 0 };
    float m_totalDistance { 0 };
    float m_currentDistance { 0 };
    int32_t m_totalHops { 0 };
    int32_t m_currentHop { 0 };

    Ref<UIScrollView> m_scrollView;
    Ref<KESTRouteProgressInternalView> m_internalView;
    int32_t m_lastContentOffset { 0 };
    bool m_hasScrolledToLatestHop { false };
    Ref<UILabel> m_distanceTravelledLabel;
    Ref<UILabel> m_totalDistanceLabel;
    std::vector<Ref<UILabel>> m_airportLabels;
    std::vector<Ref<UILabel>> m_airportTerminalLabels;
};
