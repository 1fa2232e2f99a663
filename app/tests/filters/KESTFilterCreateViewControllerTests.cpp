#include "app/view-controllers/filters/KESTFilterCreateViewController.h"

#include "app/tests/filters/FilterTestSupport.h"
#include "app/view-controllers/filters/KESTFilterAirportCell.h"
#include "app/view-controllers/filters/KESTFilterDataCell.h"
#include "app/widgets/KESTRangeSlider.h"
#include "foundation/NSData+Base64.h"
#include "foundation/NSJSONSerialization.h"
#include "net/NSURL.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UISegmentedControl.h"
#include "uikit/UITextField.h"
#include "uikit/UIToolbar.h"

#include <gtest/gtest.h>

namespace {

class FilterEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope.publish({ { "A1", "A388", "DXB-LHR", "UAE1", "7700", "EK1", 38000, 480 },
            { "A2", "B744", "LHR-JFK", "BAW117", "1774", "BA117", 35000, 500 },
            { "A3", "B738", "CDG-LHR", "RYR12", "2000", "FR12", 0, 0 } });
    }
    Ref<KESTFilterCreateViewController> open(const Ref<KESTFilter>& filter = nullptr)
    {
        auto editor = KESTFilterCreateViewController::init();
        editor->setManagedObjectContext(scope.context());
        editor->setParentFilter(filter);
        host.push(editor);
        return editor;
    }
    std::string matches(const Ref<KESTFilterCreateViewController>& editor)
    {
        drainAll();
        return editor->matchesLabel()->text();
    }
    void answerPrompt(const std::string& name)
    {
        auto alerts = UIAlertView::visibleAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        alerts[0]->textFieldAtIndex(0)->setText(name);
        alerts[0]->tapButtonAtIndex(1);
        drainAll();
    }
    // The stored filter of that name with its conditions as "type:detail" strings.
    static std::vector<std::string> conditionsOf(const Ref<KESTFilter>& filter)
    {
        std::vector<std::string> out;
        for (const auto& detail : filter->childFilter())
            out.push_back(detail->filterDetailType().description() + ":" + detail->filterDetail().stringValue() + ":"
                + detail->filterLowerLimit().description() + "-" + detail->filterUpperLimit().description());
        std::sort(out.begin(), out.end());
        return out;
    }

    FilterTestScope scope;
    ScreenHost host;
};

TEST_F(FilterEditor, ANewFilterIsSavedWithItsRangesAndIsActiveAtOnce)
{
    auto editor = open();
    EXPECT_EQ(editor->title(), "Create");
    EXPECT_EQ(editor->navigationItem()->rightBarButtonItem()->title(), "Create");
    EXPECT_FALSE(editor->renameButton()->isEnabled());
    EXPECT_FALSE(editor->shareButton()->isEnabled());
    EXPECT_EQ(matches(editor), "2 matches") << "A3 on the ground is outside the default ranges";

    editor->donePress();
    answerPrompt("Heavies");
    EXPECT_EQ(host.navigation->topViewController(), host.home) << "popped after saving";
    Value stored = KESTFilterDataManager::sharedInstance()->filtersIncludingInactive(false);
    ASSERT_EQ(stored.count(), 1u);
    auto filter = stored[0].objectAs<KESTFilter>();
    EXPECT_EQ(filter->filterName(), Value("Heavies"));
    EXPECT_EQ(conditionsOf(filter), (std::vector<std::string> { "4:ALTITUDEDATA:0-1", "5:SPEEDDATA:0-1" }));
    EXPECT_FALSE(scope.context()->hasChanges());
    EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> { "A1", "A2" }));
}

// The match count sits in the toolbar between the rename and share buttons, so it covers none
// of the rows (the speed range row scrolls up to the toolbar) and none of the buttons.
TEST_F(FilterEditor, TheMatchCountCoversNothing)
{
    auto editor = open();
    auto view = editor->view();
    auto table = editor->tableView();
    auto label = editor->matchesLabel();
    Ref<UIToolbar> toolbar;
    for (const auto& subview : view->subviews()) {
        if (auto bar = std::dynamic_pointer_cast<UIToolbar>(subview))
            toolbar = bar;
    }
    ASSERT_TRUE(toolbar);
    drainAll();
    EXPECT_EQ(label->text(), "2 matches");
    ASSERT_TRUE(label->window());
    CGRect count = label->convertRectToView(label->bounds(), view);
    EXPECT_TRUE(CGRectContainsRect(toolbar->frame(), count)) << NSStringFromCGRect(count);
    EXPECT_FALSE(CGRectIntersectsRect(table->frame(), count));
    EXPECT_EQ(CGRectGetMaxY(table->frame()), CGRectGetMinY(toolbar->frame())) << "the rows reach the toolbar";
    for (const auto& button : { editor->renameButton(), editor->shareButton() }) {
        CGRect frame = toolbar->convertRectToView(toolbar->frameForItem(button), view);
        EXPECT_FALSE(CGRectIsEmpty(frame));
        EXPECT_FALSE(CGRectIntersectsRect(frame, count)) << NSStringFromCGRect(frame);
    }
    CGSize text = label->sizeThatFits(CGSizeMake(1000, 1000));
    label->setText("12345 matches");
    EXPECT_LE(label->sizeThatFits(CGSizeMake(1000, 1000)).width, count.size.width) << "room for a large count";
    EXPECT_GT(text.width, 0);
}

TEST_F(FilterEditor, AddingConditionsRecountsAndTypedValuesAreStored)
{
    auto editor = open();
    auto table = editor->tableView();
    // A new airline row without a value matches nothing.
    editor->tableViewAccessoryButtonTappedForRowWithIndexPath(table, NSIndexPath::indexPathForRowInSection(0, 0));
    EXPECT_EQ(editor->tableViewNumberOfRowsInSection(table, 0), 2);
    EXPECT_EQ(matches(editor), "0 matches");
    auto cell = std::dynamic_pointer_cast<KESTFilterDataCell>(ScreenHost::cellAt(table, 1, 0));
    ASSERT_TRUE(cell);
    auto field = cell->textInput();
    EXPECT_TRUE(field->isFirstResponder()) << "the keyboard opens on the new row";
    field->setText("baw");
    field->resignFirstResponder();
    scope.map().clock().advance(1);
    EXPECT_EQ(matches(editor), "1 matches") << "recounted when the keyboard went away";

    editor->donePress();
    answerPrompt("Speedbird");
    auto filter = KESTFilterDataManager::sharedInstance()->filtersIncludingInactive(true)[0].objectAs<KESTFilter>();
    EXPECT_EQ(
        conditionsOf(filter), (std::vector<std::string> { "0:baw:0-1", "4:ALTITUDEDATA:0-1", "5:SPEEDDATA:0-1" }));
    EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> { "A2" }));
}

TEST_F(FilterEditor, LeavingUnsavedPutsBackOnlyWhatTheEditorChanged)
{
    auto filter = scope.addFilter("Mine", Value(true), withRanges({ { 1, "B744" } }));
    ASSERT_TRUE(scope.context()->save(nullptr));
    scope.context()->processPendingChanges();
    KESTFilterDataManager::sharedInstance()->recacheFilters();
    // Unrelated work another screen has not saved yet.
    auto other = scope.addFilter("Unsaved elsewhere", Value(false), {});

    auto editor = open(filter);
    EXPECT_EQ(editor->title(), "Create");
    EXPECT_EQ(editor->navigationItem()->rightBarButtonItem()->title(), "Save");
    EXPECT_TRUE(editor->renameButton()->isEnabled());
    EXPECT_EQ(editor->tableViewNumberOfRowsInSection(editor->tableView(), 1), 2);
    EXPECT_EQ(matches(editor), "1 matches");

    // Remove the type condition and move the altitude slider, then go back.
    auto table = editor->tableView();
    editor->tableViewAccessoryButtonTappedForRowWithIndexPath(table, NSIndexPath::indexPathForRowInSection(1, 1));
    auto range = std::dynamic_pointer_cast<KESTFilterRangeSliderCell>(ScreenHost::cellAt(table, 0, 4));
    ASSERT_TRUE(range);
    range->slider()->setMin(0.6f);
    range->valuesChanged(range->slider());
    range->finishedTouches(range->slider());
    EXPECT_EQ(matches(editor), "1 matches") << "A1 at 38000 ft";
    host.back();

    EXPECT_EQ(
        conditionsOf(filter), (std::vector<std::string> { "1:B744:0-1", "4:ALTITUDEDATA:0-1", "5:SPEEDDATA:0-1" }));
    EXPECT_FALSE(other->isDeleted());
    EXPECT_TRUE(other->isInserted()) << "the other screen's unsaved filter survives";
    EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> { "A2" }));

    // The same edits, saved this time.
    editor = open(filter);
    table = editor->tableView();
    editor->tableViewAccessoryButtonTappedForRowWithIndexPath(table, NSIndexPath::indexPathForRowInSection(1, 1));
    editor->donePress();
    drainAll();
    EXPECT_EQ(conditionsOf(filter), (std::vector<std::string> { "4:ALTITUDEDATA:0-1", "5:SPEEDDATA:0-1" }));
    EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> { "A1", "A2" }));
}

// Removing a stored condition changes what the map shows at once; leaving without saving puts
// the condition back in the store and on the map, and saving removes it for good.
TEST_F(FilterEditor, RemovingAStoredConditionFiltersTheMapAtOnce)
{
    auto filter = scope.addFilter("Mine", Value(true), withRanges({ { 1, "B744" }, { 3, "70" } }));
    ASSERT_TRUE(scope.context()->save(nullptr));
    scope.context()->processPendingChanges();
    KESTFilterDataManager::sharedInstance()->recacheFilters();
    EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> {}));
    const std::vector<std::string> stored { "1:B744:0-1", "3:70:0-1", "4:ALTITUDEDATA:0-1", "5:SPEEDDATA:0-1" };

    for (bool save : { false, true }) {
        SCOPED_TRACE(save ? "saved" : "left unsaved");
        auto editor = open(filter);
        auto table = editor->tableView();
        // The squawk condition first: the type one alone lets A2 through.
        editor->tableViewAccessoryButtonTappedForRowWithIndexPath(table, NSIndexPath::indexPathForRowInSection(1, 3));
        EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> { "A2" }));
        editor->tableViewAccessoryButtonTappedForRowWithIndexPath(table, NSIndexPath::indexPathForRowInSection(1, 1));
        EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> { "A1", "A2" }));
        if (!save) {
            host.back();
            EXPECT_EQ(conditionsOf(filter), stored);
            EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> {}));
            continue;
        }
        editor->donePress();
        drainAll();
        EXPECT_EQ(conditionsOf(filter), (std::vector<std::string> { "4:ALTITUDEDATA:0-1", "5:SPEEDDATA:0-1" }));
        EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> { "A1", "A2" }));
        EXPECT_FALSE(scope.context()->hasChanges());
    }
}

TEST_F(FilterEditor, RenamesAndSharesAStoredFilterAsALink)
{
    auto filter = scope.addFilter("Heavies", Value(true), withRanges({}));
    ASSERT_TRUE(scope.context()->save(nullptr));
    auto editor = open(filter);
    editor->renamePress(nullptr);
    auto prompt = UIAlertView::visibleAlerts();
    ASSERT_EQ(prompt.size(), 1u);
    EXPECT_EQ(prompt[0]->textFieldAtIndex(0)->text(), "Heavies");
    answerPrompt("Schwere Jungs \u00fc");
    EXPECT_EQ(filter->filterName(), Value("Schwere Jungs \u00fc"));
    EXPECT_EQ(host.navigation->topViewController(), editor) << "renaming keeps the editor open";

    editor->sharePress(nullptr);
    auto sheet = std::dynamic_pointer_cast<UIActivityViewController>(host.navigation->presentedViewController());
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->activityItems().size(), 2u);
    EXPECT_EQ(sheet->activityItems()[0], Value("Check out this filter I created in Volantrix"));
    std::string link = sheet->activityItems()[1].objectAs<NSURL>()->absoluteString();
    EXPECT_EQ(link.find('%'), std::string::npos);
    const std::string prefix = "vxvolantrix://?addfilter=";
    ASSERT_EQ(link.rfind(prefix, 0), 0u);
    auto bytes = NSData_Base64::dataFromBase64String(link.substr(prefix.size()));
    ASSERT_TRUE(bytes);
    Value payload = NSJSONSerialization::JSONObjectWithData(*bytes, 0, nullptr);
    ASSERT_EQ(payload.count(), 1u);
    Value conditions = payload["Schwere Jungs \u00fc"];
    ASSERT_EQ(conditions.count(), 2u);
    for (const auto& condition : conditions.elements()) {
        EXPECT_EQ(condition.count(), 6u);
        bool altitude = condition["filterDetailType"].intValue() == 4;
        EXPECT_EQ(condition["filterTitle"], condition["filterDetail"]);
        EXPECT_EQ(condition["filterDetail"], Value(altitude ? "ALTITUDEDATA" : "SPEEDDATA"));
        EXPECT_EQ(condition["filterLowerLimit"].doubleValue(), 0);
        EXPECT_EQ(condition["filterUpperLimit"].doubleValue(), 1);
        EXPECT_EQ(condition["filterAirportType"].intValue(), 0);
    }
    EXPECT_EQ(sheet->excludedActivityTypes().size(), 4u);
}

} // namespace

namespace {

TEST_F(FilterEditor, ShowsStoredConditionsGroupedWithTheirAirportDirections)
{
    auto filter = scope.addFilter(
        "Heathrow", Value(true), withRanges({ { 2, "LHR", 0, 1, 1 }, { 2, "LGW", 0, 1, 2 }, { 3, "7700" } }));
    ASSERT_TRUE(scope.context()->save(nullptr));
    auto editor = open(filter);
    auto table = editor->tableView();
    EXPECT_EQ(editor->tableViewNumberOfRowsInSection(table, 2), 3);
    EXPECT_EQ(editor->tableViewNumberOfRowsInSection(table, 3), 2);
    EXPECT_EQ(editor->tableViewNumberOfRowsInSection(table, 4), 1);
    std::vector<int32_t> directions;
    for (int32_t row = 1; row <= 2; ++row) {
        auto index = NSIndexPath::indexPathForRowInSection(row, 2);
        EXPECT_EQ(editor->tableViewHeightForRowAtIndexPath(table, index), 88);
        auto cell
            = std::dynamic_pointer_cast<KESTFilterAirportCell>(editor->tableViewCellForRowAtIndexPath(table, index));
        ASSERT_TRUE(cell);
        directions.push_back(cell->airportSegment()->selectedSegmentIndex());
    }
    std::sort(directions.begin(), directions.end());
    EXPECT_EQ(directions, (std::vector<int32_t> { 1, 2 }));
    EXPECT_EQ(editor->tableViewHeightForRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(0, 2)), 44);
    auto squawk = std::dynamic_pointer_cast<KESTFilterDataCell>(
        editor->tableViewCellForRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(1, 3)));
    ASSERT_TRUE(squawk);
    EXPECT_EQ(squawk->textInput()->keyboardType(), UIKeyboardTypeNumberPad);
    EXPECT_EQ(squawk->textInput()->text(), "7700");
}

} // namespace
