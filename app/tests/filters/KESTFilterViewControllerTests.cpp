#include "app/view-controllers/filters/KESTFilterViewController.h"

#include "app/tests/filters/FilterTestSupport.h"
#include "app/view-controllers/filters/KESTFilterCreateViewController.h"
#include "app/widgets/KESTCheckCellSubtitle.h"
#include "app/widgets/KESTToggleButton.h"
#include "foundation/NSNotificationCenter.h"
#include "graphics/UIImage.h"
#include "uikit/UILabel.h"

#include <gtest/gtest.h>

namespace {

class FilterList : public ::testing::Test {
protected:
    void SetUp() override
    {
        scope.publish({ { "A1", "A388", "DXB-LHR", "UAE1", "7700", "EK1", 38000, 480 },
            { "A2", "B744", "LHR-JFK", "BAW117", "1774", "BA117", 35000, 500 },
            { "A3", "B738", "CDG-LHR", "RYR12", "2000", "FR12", 12000, 300 } });
        observer = NSNotificationCenter::defaultCenter()->addObserverForName("com.kestravon.volantrix.livedata.updated",
            nullptr, nullptr, [this](const Ref<NSNotification>&) { ++notifications; });
    }
    void TearDown() override { NSNotificationCenter::defaultCenter()->removeObserver(observer); }

    Ref<KESTFilterViewController> open()
    {
        auto list = KESTFilterViewController::init();
        list->setManagedObjectContext(scope.context());
        host.push(list);
        return list;
    }
    // "name|count|on" for every row.
    std::vector<std::string> rows(const Ref<KESTFilterViewController>& list)
    {
        drainAll();
        std::vector<std::string> out;
        for (size_t row = 0; row < list->filters().size(); ++row) {
            auto cell = std::dynamic_pointer_cast<KESTCheckCellSubtitle>(
                ScreenHost::cellAt(list->tableView(), static_cast<int32_t>(row)));
            drainAll();
            out.push_back(cell->titleLabel()->text() + "|" + cell->subtitleLabel()->text()
                + (cell->toggleButton()->isSelected() ? "|on" : ""));
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    int32_t rowOf(const Ref<KESTFilterViewController>& list, const std::string& name)
    {
        for (size_t row = 0; row < list->filters().size(); ++row) {
            if (list->filters()[row]->filterName() == Value(name))
                return static_cast<int32_t>(row);
        }
        return -1;
    }

    FilterTestScope scope;
    ScreenHost host;
    Ref<NSObject> observer;
    int notifications = 0;
};

TEST_F(FilterList, ShowsCountsAndSwitchesFiltersOnAndOffForTheMap)
{
    scope.addFilter("Speedbird", Value(true), withRanges({ { 0, "BAW" } }));
    scope.addFilter("Heavies", Value(true), withRanges({ { 1, "A388" }, { 1, "B744" } }));
    scope.addFilter("Nothing", Value(false), withRanges({ { 3, "0000" } }));
    ASSERT_TRUE(scope.context()->save(nullptr));
    KESTFilterDataManager::sharedInstance()->recacheFilters();

    auto list = open();
    EXPECT_EQ(list->title(), "Filters");
    EXPECT_EQ(rows(list),
        (std::vector<std::string> {
            "Heavies|Matches 2 aircraft|on", "Nothing|Matches 0 aircraft", "Speedbird|Matches 1 aircraft|on" }));
    EXPECT_GE(notifications, 1);
    EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> { "A1", "A2" }));

    // Heavies off: only Speedbird's plane is left.
    notifications = 0;
    auto cell = std::dynamic_pointer_cast<KESTCheckCellSubtitle>(
        ScreenHost::cellAt(list->tableView(), rowOf(list, "Heavies")));
    cell->toggleButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    drainAll();
    EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> { "A2" }));
    EXPECT_EQ(notifications, 1);
    EXPECT_FALSE(scope.context()->hasChanges()) << "saved at once";
    EXPECT_EQ(KESTFilterDataManager::sharedInstance()->filtersIncludingInactive(false).count(), 1u);

    // Deleting the last active filter shows every plane and the plain icon.
    list->tableViewCommitEditingStyleForRowAtIndexPath(list->tableView(), UITableViewCellEditingStyleDelete,
        NSIndexPath::indexPathForRowInSection(rowOf(list, "Speedbird"), 0));
    drainAll();
    EXPECT_EQ(list->filters().size(), 2u);
    EXPECT_EQ(FilterTestScope::filteredHexes(), (std::vector<std::string> { "A1", "A2", "A3" }));
    EXPECT_EQ(KESTFilterDataManager::sharedInstance()->filterIconWithBadge(), UIImage::imageNamed("filterListMenu"));
}

TEST_F(FilterList, OpensTheEditorForARowOrANewFilter)
{
    auto stored = scope.addFilter("Speedbird", Value(true), withRanges({ { 0, "BAW" } }));
    auto list = open();
    list->tableViewDidSelectRowAtIndexPath(list->tableView(), NSIndexPath::indexPathForRowInSection(0, 0));
    drainAll();
    auto editor = std::dynamic_pointer_cast<KESTFilterCreateViewController>(host.navigation->topViewController());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->parentFilter(), stored);
    EXPECT_EQ(editor->managedObjectContext(), scope.context());
    host.back();
    list->addPress(nullptr);
    drainAll();
    editor = std::dynamic_pointer_cast<KESTFilterCreateViewController>(host.navigation->topViewController());
    ASSERT_TRUE(editor);
    EXPECT_FALSE(editor->parentFilter());
}

} // namespace
