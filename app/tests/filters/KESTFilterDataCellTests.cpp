#include "app/view-controllers/filters/KESTFilterDataCell.h"

#include "app/core/KESTFlightDataManager.h"
#include "app/core/KESTSettingsManager.h"
#include "app/tests/filters/FilterTestSupport.h"
#include "app/view-controllers/filters/KESTFilterAirportCell.h"
#include "app/view-controllers/filters/KESTFilterRangeSliderCell.h"
#include "app/widgets/KESTRangeSlider.h"
#include "app/widgets/KESTTokenButton.h"
#include "testing/URLStubs.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"
#include "uikit/UISegmentedControl.h"

#include <gtest/gtest.h>

namespace {

template <typename T> Ref<T> loadCell(const std::string& name)
{
    auto objects = UINib::nibWithNibNameBundle(name, nullptr)->instantiateWithOwnerOptions(nullptr, Value());
    return objects.empty() ? nullptr : objects[0].objectAs<T>();
}

std::vector<std::string> titles(const Ref<KESTFilterDataCell>& cell)
{
    std::vector<std::string> out;
    for (const auto& token : cell->autocompleteBar()->suggestions())
        out.push_back(token->titleForState(UIControlStateNormal));
    return out;
}

TEST(KESTFilterDataCell, SuggestsAsTheUserTypesAndStoresTheChoice)
{
    FilterTestScope scope;
    URLStubs stubs;
    URLStubSpec spec;
    spec.url = "http://feed.invalid/APPAPIv2/filterSearch.php?searchText=ba&searchType=0&codeType=IATA";
    spec.headers = { { "Content-Type", "application/json" } };
    spec.body = R"([{"title":"British Airways","data":"BAW"},{"data":"X"},{"title":"BA CityFlyer","data":"CFE"}])";
    auto search = stubs.add(spec);

    auto cell = loadCell<KESTFilterDataCell>("KESTFilterDataCell");
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->textInput()->inputAccessoryView(), cell->autocompleteBar());
    auto detail = scope.addDetail({ 0, "" });
    cell->setAttachedFilter(detail);
    auto field = cell->textInput();
    field->setText("b");
    EXPECT_TRUE(cell->textFieldShouldChangeCharactersInRangeReplacementString(field, NSMakeRange(1, 0), "a"));
    EXPECT_EQ(titles(cell), (std::vector<std::string> { "ba" })) << "the typed text at once";
    drainAll();
    EXPECT_EQ(search->requestCount(), 1u);
    EXPECT_EQ(titles(cell), (std::vector<std::string> { "ba", "British Airways", "BA CityFlyer" }));

    cell->autocompleteBarDidSelectSuggestion(cell->autocompleteBar(), cell->autocompleteBar()->suggestions()[1]);
    EXPECT_EQ(field->text(), "British Airways");
    EXPECT_EQ(detail->filterTitle(), Value("British Airways"));
    EXPECT_EQ(detail->filterDetail(), Value("BAW"));

    // The end of that editing keeps the chosen data; editing again without choosing stores the
    // text as both.
    cell->textFieldDidEndEditing(field);
    EXPECT_EQ(detail->filterDetail(), Value("BAW"));
    EXPECT_EQ(detail->filterTitle(), Value("British Airways"));
    EXPECT_FALSE(cell->selectedToken());
    field->setText("KLM");
    cell->textFieldDidEndEditing(field);
    EXPECT_EQ(detail->filterDetail(), Value("KLM"));

    // An empty text clears the bar; a backspace in an empty field is refused.
    field->setText("a");
    EXPECT_TRUE(cell->textFieldShouldChangeCharactersInRangeReplacementString(field, NSMakeRange(0, 1), ""));
    EXPECT_TRUE(titles(cell).empty());
    field->setText("");
    EXPECT_FALSE(cell->textFieldShouldChangeCharactersInRangeReplacementString(field, NSMakeRange(0, 0), ""));
    drainAll();
}

TEST(KESTFilterDataCell, AsksWithTheCodeTypeAndNeverForSquawksAndIgnoresOddReplies)
{
    struct Case {
        int32_t type;
        int32_t icaoType;
        const char* reply;
        size_t requests;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        { 1, 0, R"([{"title":"Boeing 747","data":"B744"}])", 1, { "74", "Boeing 747" } },
        { 2, 1, R"({"title":"not a list"})", 1, { "74" } },
        { 3, 1, "[]", 0, { "74" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        FilterTestScope scope;
        KESTSettingsManager::sharedInstance()->setIcaoType(c.icaoType);
        URLStubs stubs;
        URLStubSpec spec;
        spec.url = NSString::stringWithFormat(
            "http://feed.invalid/APPAPIv2/filterSearch.php?searchText=74&searchType=%i&codeType=%@", c.type,
            std::string(c.icaoType ? "IATA" : "ICAO"));
        spec.headers = { { "Content-Type", "application/json" } };
        spec.body = c.reply;
        auto search = stubs.add(spec);
        auto cell = loadCell<KESTFilterDataCell>("KESTFilterDataCell");
        cell->setAttachedFilter(scope.addDetail({ c.type, "" }));
        cell->searchForDataWithTextAndType("74", c.type);
        drainAll();
        EXPECT_EQ(search->requestCount(), c.requests);
        EXPECT_EQ(titles(cell), c.shown);
    }
}

TEST(KESTFilterRangeSliderCell, WritesTheLimitsAndShowsTheRangeInTheUsersUnit)
{
    FilterTestScope scope;
    auto cell = loadCell<KESTFilterRangeSliderCell>("KESTFilterRangeSliderCell");
    ASSERT_TRUE(cell);
    EXPECT_TRUE(CGRectEqualToRect(cell->slider()->frame(), CGRectMake(10, 46, 300, 30)));
    auto detail = scope.addDetail({ 4, "ALTITUDEDATA" });
    cell->setAttachedFilter(detail);
    cell->setCellRangesWithMinAndMaxAndUnit(0, 60000, "ft");
    cell->slider()->setMin(0.25f);
    cell->valuesChanged(cell->slider());
    EXPECT_FLOAT_EQ(detail->filterLowerLimit().floatValue(), 0.25f);
    EXPECT_EQ(cell->cellRange()->text(), "15000 to 60000 ft");
    cell->setCellRangesWithMinAndMaxAndUnit(0, 18288, "m");
    EXPECT_EQ(cell->cellRange()->text(), "4572 to 18288 m");
}

TEST(KESTFilterAirportCell, StoresTheDirection)
{
    FilterTestScope scope;
    auto cell = loadCell<KESTFilterAirportCell>("KESTFilterAirportCell");
    ASSERT_TRUE(cell);
    auto segment = cell->airportSegment();
    EXPECT_EQ(segment->titleForSegmentAtIndex(1), "Outbound");
    auto detail = scope.addDetail({ 2, "LHR" });
    cell->setAttachedFilter(detail);
    segment->setSelectedSegmentIndex(2);
    cell->airportSegmentChange(segment);
    EXPECT_EQ(detail->filterAirportType(), Value(2));
}

} // namespace
