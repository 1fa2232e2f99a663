#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "foundation/NSException.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewFlowLayout.h"
#include "uikit/UITableView.h"

#include <functional>

// Tables and collection views check their row (item) and section changes against the data
// source the same way, but word and police them each in their own way. These tests pin the full
// reason of every refusal, and what each view lets through, for both.

namespace {

using Counts = std::vector<int32_t>;

class CountedRows : public NSObject, public UITableViewDataSource {
    VX_OBJECT(CountedRows, NSObject)
public:
    explicit CountedRows(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<CountedRows> init() { return make<CountedRows>(); }
    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return int32_t(counts.size()); }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t s) override { return counts[s]; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(
        const Ref<UITableView>& table, const Ref<NSIndexPath>& ip) override
    {
        ++cellRequests;
        auto cell = table->dequeueReusableCellWithIdentifierForIndexPath("Row", ip);
        cell->setTag(ip->section() * 100 + ip->row());
        return cell;
    }
    Counts counts;
    int cellRequests { 0 };
};

class CountedItems : public NSObject, public UICollectionViewDataSource {
    VX_OBJECT(CountedItems, NSObject)
public:
    explicit CountedItems(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<CountedItems> init() { return make<CountedItems>(); }
    int32_t numberOfSectionsInCollectionView(const Ref<UICollectionView>&) override { return int32_t(counts.size()); }
    int32_t collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, int32_t s) override { return counts[s]; }
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(
        const Ref<UICollectionView>& view, const Ref<NSIndexPath>& ip) override
    {
        auto cell = view->dequeueReusableCellWithReuseIdentifierForIndexPath("Item", ip);
        cell->setTag(ip->section() * 100 + ip->item());
        return cell;
    }
    Counts counts;
};

Ref<NSIndexPath> at(int32_t section, int32_t row)
{
    return NSIndexPath::indexPathForRowInSection(row, section);
}

// "Name: reason" of what `change` raised; empty when it went through.
std::string raised(const std::function<void()>& change)
{
    try {
        change();
    } catch (const NSException& e) {
        return e.name() + ": " + e.reason();
    }
    return {};
}

template <typename View> struct Case {
    const char* name;
    Counts before;
    Counts after;
    std::function<void(View&)> change;
    std::string outcome; // the exception's name and reason; empty when accepted
};

class UIBatchUpdatesTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        m_window = makeKeyWindow();
        m_rows = CountedRows::init();
        m_items = CountedItems::init();
    }

    Ref<UITableView> makeTable(const Counts& counts)
    {
        m_rows->counts = counts;
        auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 400));
        table->registerClassForCellReuseIdentifier<UITableViewCell>("Row");
        table->setDataSource(m_rows.get(), m_rows);
        m_window->addSubview(table);
        table->layoutIfNeeded();
        return table;
    }

    Ref<UICollectionView> makeCollectionView(const Counts& counts)
    {
        m_items->counts = counts;
        auto layout = UICollectionViewFlowLayout::init();
        layout->setItemSize(CGSizeMake(50, 50));
        auto view = UICollectionView::initWithFrameCollectionViewLayout(CGRectMake(0, 0, 320, 400), layout);
        view->registerClassForCellWithReuseIdentifier<UICollectionViewCell>("Item");
        view->setDataSource(m_items.get(), m_items);
        m_window->addSubview(view);
        view->layoutIfNeeded();
        return view;
    }

    Ref<UIWindow> m_window;
    Ref<CountedRows> m_rows;
    Ref<CountedItems> m_items;
};

TEST_F(UIBatchUpdatesTest, TableRefusesChangesThatDoNotAddUpWithItsOwnReasons)
{
    const std::string invalid = "NSInternalInconsistencyException: Invalid update: ";
    const std::vector<Case<UITableView>> cases = {
        { "delete a section that is not there", { 2, 1 }, { 2 },
            [](UITableView& t) { t.deleteSectionsWithRowAnimation({ 5 }, UITableViewRowAnimationFade); },
            invalid + "attempt to delete section 5, but there are only 2 sections before the update" },
        { "insert a section past the end", { 2 }, { 2, 1 },
            [](UITableView& t) { t.insertSectionsWithRowAnimation({ 4 }, UITableViewRowAnimationFade); },
            invalid + "attempt to insert section 4 but there are only 2 sections after the update" },
        { "sections appear unannounced", { 2 }, { 2, 1 },
            [](UITableView& t) {
                t.beginUpdates();
                t.endUpdates();
            },
            invalid
                + "invalid number of sections.  The number of sections contained in the table view after the update "
                  "(2) must be equal to the number of sections contained in the table view before the update (1), "
                  "plus or minus the number of sections inserted or deleted (0 inserted, 0 deleted)." },
        { "delete a row that is not there", { 2 }, { 1 },
            [](UITableView& t) { t.deleteRowsAtIndexPathsWithRowAnimation({ at(0, 5) }, UITableViewRowAnimationFade); },
            invalid + "attempt to delete row 5 from section 0 which does not exist before the update" },
        { "reload a row that is not there", { 2 }, { 2 },
            [](UITableView& t) { t.reloadRowsAtIndexPathsWithRowAnimation({ at(0, 3) }, UITableViewRowAnimationFade); },
            invalid + "attempt to reload row 3 from section 0 which does not exist before the update" },
        { "insert a row past the end", { 2 }, { 3 },
            [](UITableView& t) { t.insertRowsAtIndexPathsWithRowAnimation({ at(0, 7) }, UITableViewRowAnimationFade); },
            invalid + "attempt to insert row 7 into section 0, but there are only 3 rows in section after the update" },
        { "insert a row into a section that is not there", { 2 }, { 3 },
            [](UITableView& t) { t.insertRowsAtIndexPathsWithRowAnimation({ at(4, 0) }, UITableViewRowAnimationFade); },
            invalid + "attempt to insert row 0 into section 4, but there are only 0 rows in section after the update" },
        { "move a row to a place that is not there", { 2 }, { 2 },
            [](UITableView& t) { t.moveRowAtIndexPathToIndexPath(at(0, 0), at(0, 2)); },
            invalid + "attempt to move a row that does not exist or to a place that does not exist after the update" },
        { "a move the counts do not follow", { 2, 1 }, { 2, 1 },
            [](UITableView& t) { t.moveRowAtIndexPathToIndexPath(at(0, 0), at(1, 0)); },
            invalid
                + "invalid number of rows in section 0.  The number of rows contained in an existing section after "
                  "the update (2) must be equal to the number of rows contained in that section before the update "
                  "(2), plus or minus the number of rows inserted or deleted from that section (0 inserted, 0 "
                  "deleted) and plus or minus the number of rows moved into or out of that section (0 moved in, 1 "
                  "moved out)." },
        { "a delete the counts do not follow", { 3, 1 }, { 3, 3 },
            [](UITableView& t) {
                t.beginUpdates();
                t.insertRowsAtIndexPathsWithRowAnimation({ at(1, 0), at(1, 1) }, UITableViewRowAnimationFade);
                t.deleteRowsAtIndexPathsWithRowAnimation({ at(1, 0) }, UITableViewRowAnimationFade);
                t.endUpdates();
            },
            invalid
                + "invalid number of rows in section 1.  The number of rows contained in an existing section after "
                  "the update (3) must be equal to the number of rows contained in that section before the update "
                  "(1), plus or minus the number of rows inserted or deleted from that section (2 inserted, 1 "
                  "deleted) and plus or minus the number of rows moved into or out of that section (0 moved in, 0 "
                  "moved out)." },
        // What the table lets through that a collection view refuses.
        { "reload a section that is not there", { 2 }, { 2 },
            [](UITableView& t) { t.reloadSectionsWithRowAnimation({ 9 }, UITableViewRowAnimationFade); }, "" },
        { "move onto an inserted row", { 3 }, { 4 },
            [](UITableView& t) {
                t.beginUpdates();
                t.insertRowsAtIndexPathsWithRowAnimation({ at(0, 0) }, UITableViewRowAnimationFade);
                t.moveRowAtIndexPathToIndexPath(at(0, 1), at(0, 0));
                t.endUpdates();
            },
            "" },
        { "count of a section that is not there", { 2 }, { 2 }, [](UITableView& t) { t.numberOfRowsInSection(3); },
            "NSRangeException: section (3) beyond bounds (1)" },
        { "count of a negative section", { 2 }, { 2 }, [](UITableView& t) { t.numberOfRowsInSection(-1); },
            "NSRangeException: section (-1) beyond bounds (1)" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto table = makeTable(c.before);
        m_rows->counts = c.after;
        EXPECT_EQ(raised([&] { c.change(*table); }), c.outcome);
        // Refused or not, the table shows the data source's rows afterwards.
        table->layoutIfNeeded();
        ASSERT_EQ(table->numberOfSections(), int32_t(c.after.size()));
        for (int32_t s = 0; s < int32_t(c.after.size()); ++s)
            EXPECT_EQ(table->numberOfRowsInSection(s), c.after[size_t(s)]);
    }
}

TEST_F(UIBatchUpdatesTest, CollectionViewRefusesChangesThatDoNotAddUpWithItsOwnReasons)
{
    const std::string invalid = "NSInternalInconsistencyException: Invalid update: ";
    auto batch
        = [](UICollectionView& v, std::function<void()> updates) { v.performBatchUpdatesCompletion(updates, nullptr); };
    const std::vector<Case<UICollectionView>> cases = {
        { "delete a section that is not there", { 2, 1 }, { 2 }, [](UICollectionView& v) { v.deleteSections({ 5 }); },
            invalid + "attempt to delete section 5, but there are only 2 sections before the update" },
        { "reload a section that is not there", { 2 }, { 2 }, [](UICollectionView& v) { v.reloadSections({ 9 }); },
            invalid + "attempt to reload section 9, but there are only 1 sections before the update" },
        { "insert a section past the end", { 2 }, { 2, 1 }, [](UICollectionView& v) { v.insertSections({ 4 }); },
            invalid + "attempt to insert section 4 but there are only 2 sections after the update" },
        { "move a section past the end", { 2, 1 }, { 2, 1 }, [](UICollectionView& v) { v.moveSectionToSection(0, 5); },
            invalid + "attempt to move section 0 to section 5" },
        { "move two sections to one place", { 2, 1, 1 }, { 2, 1, 1 },
            [&](UICollectionView& v) {
                batch(v, [&] {
                    v.moveSectionToSection(0, 2);
                    v.moveSectionToSection(1, 2);
                });
            },
            invalid + "attempt to move section 1 to section 2" },
        { "sections appear unannounced", { 2 }, { 2, 1 }, [&](UICollectionView& v) { batch(v, nullptr); },
            invalid
                + "invalid number of sections.  The number of sections contained in the collection view after the "
                  "update (2) must be equal to the number of sections contained in the collection view before the "
                  "update (1), plus or minus the number of sections inserted or deleted (0 inserted, 0 deleted)." },
        { "delete an item that is not there", { 2 }, { 1 },
            [](UICollectionView& v) { v.deleteItemsAtIndexPaths({ at(0, 5) }); },
            invalid + "attempt to delete item 5 from section 0 which does not exist before the update" },
        { "reload an item that is not there", { 2 }, { 2 },
            [](UICollectionView& v) { v.reloadItemsAtIndexPaths({ at(0, 3) }); },
            invalid + "attempt to reload item 3 from section 0 which does not exist before the update" },
        { "insert an item past the end", { 2 }, { 3 },
            [](UICollectionView& v) { v.insertItemsAtIndexPaths({ at(0, 7) }); },
            invalid
                + "attempt to insert item 7 into section 0, but there are only 3 items in section 0 after the update" },
        { "insert an item into a section that is not there", { 2 }, { 3 },
            [](UICollectionView& v) { v.insertItemsAtIndexPaths({ at(4, 0) }); },
            invalid
                + "attempt to insert item 0 into section 4, but there are only 0 items in section 4 after the update" },
        { "move an item to a place that is not there", { 2 }, { 2 },
            [](UICollectionView& v) { v.moveItemAtIndexPathToIndexPath(at(0, 0), at(0, 2)); },
            invalid + "attempt to move item 0 of section 0 to item 2 of section 0" },
        { "move onto an inserted item", { 3 }, { 4 },
            [&](UICollectionView& v) {
                batch(v, [&] {
                    v.insertItemsAtIndexPaths({ at(0, 0) });
                    v.moveItemAtIndexPathToIndexPath(at(0, 1), at(0, 0));
                });
            },
            invalid + "attempt to move item 1 of section 0 to item 0 of section 0" },
        { "move one item twice", { 3 }, { 3 },
            [&](UICollectionView& v) {
                batch(v, [&] {
                    v.moveItemAtIndexPathToIndexPath(at(0, 1), at(0, 0));
                    v.moveItemAtIndexPathToIndexPath(at(0, 1), at(0, 2));
                });
            },
            invalid + "attempt to move item 1 of section 0 to item 2 of section 0" },
        { "a move the counts do not follow", { 2, 1 }, { 2, 1 },
            [](UICollectionView& v) { v.moveItemAtIndexPathToIndexPath(at(0, 0), at(1, 0)); },
            invalid
                + "invalid number of items in section 0.  The number of items contained in an existing section after "
                  "the update (2) must be equal to the number of items contained in that section before the update "
                  "(2), plus or minus the number of items inserted or deleted from that section (0 inserted, 0 "
                  "deleted) and plus or minus the number of items moved into or out of that section (0 moved in, 1 "
                  "moved out)." },
        // Refused before anything is asked of the data source.
        { "an index path that is not an item's", { 2 }, { 2 },
            [](UICollectionView& v) { v.insertItemsAtIndexPaths({ NSIndexPath::indexPathWithIndexes({ 0 }) }); },
            "NSInvalidArgumentException: insertItems: an index path is not an item's" },
        { "count of a section that is not there", { 2 }, { 2 },
            [](UICollectionView& v) { v.numberOfItemsInSection(3); },
            "NSRangeException: section (3) beyond bounds (1)" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = makeCollectionView(c.before);
        m_items->counts = c.after;
        EXPECT_EQ(raised([&] { c.change(*view); }), c.outcome);
        view->layoutIfNeeded();
        ASSERT_EQ(view->numberOfSections(), int32_t(c.after.size()));
        for (int32_t s = 0; s < int32_t(c.after.size()); ++s)
            EXPECT_EQ(view->numberOfItemsInSection(s), c.after[size_t(s)]);
    }
}

// Whole sections come and go around rows that stay: those keep their cells and selection, and
// a reloaded section's rows get new cells but stay selected.
TEST_F(UIBatchUpdatesTest, SectionChangesCarrySurvivingCellsAndSelection)
{
    auto table = makeTable({ 2, 2, 2 });
    table->setAllowsMultipleSelection(true);
    table->selectRowAtIndexPathAnimatedScrollPosition(at(1, 1), false, UITableViewScrollPositionNone);
    table->selectRowAtIndexPathAnimatedScrollPosition(at(2, 0), false, UITableViewScrollPositionNone);
    auto kept = table->cellForRowAtIndexPath(at(1, 1));
    ASSERT_TRUE(kept);
    m_rows->cellRequests = 0;
    m_rows->counts = { 3, 2, 2 };
    table->beginUpdates();
    table->deleteSectionsWithRowAnimation({ 0 }, UITableViewRowAnimationFade);
    table->insertSectionsWithRowAnimation({ 0 }, UITableViewRowAnimationFade);
    table->reloadSectionsWithRowAnimation({ 2 }, UITableViewRowAnimationFade);
    table->endUpdates();
    EXPECT_EQ(table->cellForRowAtIndexPath(at(1, 1)), kept);
    EXPECT_EQ(table->cellForRowAtIndexPath(at(1, 1))->tag(), 101);
    EXPECT_EQ(m_rows->cellRequests, 5) << "the new section's rows and the reloaded section's";
    std::vector<std::string> selected;
    for (const auto& ip : table->indexPathsForSelectedRows())
        selected.push_back(std::to_string(ip->section()) + "." + std::to_string(ip->row()));
    EXPECT_EQ(selected, (std::vector<std::string> { "1.1", "2.0" }));

    // A collection view also moves whole sections, and items between them.
    auto view = makeCollectionView({ 2, 1, 3 });
    view->setAllowsMultipleSelection(true);
    view->selectItemAtIndexPathAnimatedScrollPosition(at(0, 1), false, UICollectionViewScrollPositionNone);
    view->selectItemAtIndexPathAnimatedScrollPosition(at(2, 2), false, UICollectionViewScrollPositionNone);
    auto moved = view->cellForItemAtIndexPath(at(2, 2));
    auto carried = view->cellForItemAtIndexPath(at(0, 1));
    ASSERT_TRUE(moved && carried);
    m_items->counts = { 4, 1 };
    view->performBatchUpdatesCompletion(
        [&] {
            view->deleteSections({ 1 });
            view->moveSectionToSection(2, 0);
            view->moveItemAtIndexPathToIndexPath(at(0, 1), at(0, 0));
        },
        nullptr);
    view->layoutIfNeeded();
    EXPECT_EQ(view->cellForItemAtIndexPath(at(0, 3)), moved);
    EXPECT_EQ(view->cellForItemAtIndexPath(at(0, 0)), carried);
    selected.clear();
    for (const auto& ip : view->indexPathsForSelectedItems())
        selected.push_back(std::to_string(ip->section()) + "." + std::to_string(ip->item()));
    EXPECT_EQ(selected, (std::vector<std::string> { "0.0", "0.3" }));
}

// Changes inside nested batches wait for the outermost to end; a batch left by an exception
// forgets its changes, and an end with no batch open does nothing.
TEST_F(UIBatchUpdatesTest, NestedBatchesApplyOnceAtTheOutermostEnd)
{
    auto table = makeTable({ 2 });
    m_rows->counts = { 3 };
    table->beginUpdates();
    table->beginUpdates();
    table->insertRowsAtIndexPathsWithRowAnimation({ at(0, 2) }, UITableViewRowAnimationFade);
    table->endUpdates();
    EXPECT_EQ(table->numberOfRowsInSection(0), 2) << "still inside the outer batch";
    table->endUpdates();
    EXPECT_EQ(table->numberOfRowsInSection(0), 3);
    m_rows->counts = { 4 };
    EXPECT_EQ(raised([&] { table->endUpdates(); }), "") << "no batch is open: nothing is checked";
    EXPECT_EQ(table->numberOfRowsInSection(0), 3);

    auto view = makeCollectionView({ 2 });
    m_items->counts = { 3 };
    int completions = 0;
    std::vector<std::string> finished;
    view->performBatchUpdatesCompletion(
        [&] {
            view->performBatchUpdatesCompletion([&] { view->insertItemsAtIndexPaths({ at(0, 2) }); },
                [&](bool done) { finished.push_back(done ? "inner" : "inner unfinished"); });
            EXPECT_EQ(view->numberOfItemsInSection(0), 2) << "still inside the outer batch";
        },
        [&](bool done) {
            ++completions;
            finished.push_back(done ? "outer" : "outer unfinished");
        });
    EXPECT_EQ(view->numberOfItemsInSection(0), 3);
    EXPECT_TRUE(finished.empty());
    m_clock.advance(0.3);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(finished, (std::vector<std::string> { "inner", "outer" }));

    EXPECT_THROW(view->performBatchUpdatesCompletion(
                     [&] {
                         view->insertItemsAtIndexPaths({ at(0, 3) });
                         throw std::runtime_error("given up");
                     },
                     [&](bool) { ++completions; }),
        std::runtime_error);
    EXPECT_EQ(raised([&] { view->reloadItemsAtIndexPaths({ at(0, 0) }); }), "")
        << "the abandoned insert is not applied with the next change";
    EXPECT_EQ(view->numberOfItemsInSection(0), 3);
    m_clock.advance(1);
    EXPECT_EQ(completions, 1);

    // A list with one bad path is refused whole: its good paths are not applied later.
    EXPECT_THROW(view->deleteItemsAtIndexPaths({ at(0, 0), NSIndexPath::indexPathWithIndexes({ 1 }) }), NSException);
    m_items->counts = { 4 };
    EXPECT_EQ(raised([&] { view->insertItemsAtIndexPaths({ at(0, 3) }); }), "");
    EXPECT_EQ(view->numberOfItemsInSection(0), 4);
}

} // namespace
