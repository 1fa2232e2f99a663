#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "foundation/NSException.h"
#include "foundation/NSRunLoop.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"
#include "uikit/UITableView.h"
#include "uikit/UITableViewController.h"

#include <algorithm>
#include <cmath>

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

std::string rect(CGRect r)
{
    return std::to_string(int(r.origin.y)) + "+" + std::to_string(int(r.size.height));
}

std::string path(const Ref<NSIndexPath>& p)
{
    return p ? std::to_string(p->section()) + "." + std::to_string(p->row()) : "nil";
}

// Counts how often cells are made and prepared for reuse.
class CountingCell : public UITableViewCell {
    VX_OBJECT(CountingCell, UITableViewCell)
public:
    explicit CountingCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<CountingCell> initWithStyleReuseIdentifier(UITableViewCellStyle style, const std::string& id)
    {
        ++s_made;
        return makeCell<CountingCell>(style, id);
    }
    void prepareForReuse() override
    {
        ++s_prepared;
        UITableViewCell::prepareForReuse();
    }
    static inline int s_made = 0;
    static inline int s_prepared = 0;
};

// A data source and delegate over a list of sections of row titles.
class Rows : public NSObject, public UITableViewDataSource, public UITableViewDelegate {
    VX_OBJECT(Rows, NSObject)
public:
    explicit Rows(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<Rows> init() { return make<Rows>(); }

    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return int32_t(sections.size()); }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t s) override
    {
        return int32_t(sections[s].size());
    }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(
        const Ref<UITableView>& table, const Ref<NSIndexPath>& ip) override
    {
        ++cellRequests;
        auto cell = table->dequeueReusableCellWithIdentifierForIndexPath("Row", ip);
        cell->textLabel()->setText(sections[ip->section()][ip->row()]);
        return cell;
    }
    std::optional<std::string> tableViewTitleForHeaderInSection(const Ref<UITableView>&, int32_t s) override
    {
        if (s < int32_t(headers.size()) && !headers[s].empty())
            return headers[s];
        return std::nullopt;
    }
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>& ip) override
    {
        ++heightRequests;
        const std::string& title = sections[ip->section()][ip->row()];
        return title.rfind("tall", 0) == 0 ? std::optional<CGFloat>(100) : std::nullopt;
    }
    void tableViewWillDisplayCellForRowAtIndexPath(
        const Ref<UITableView>&, const Ref<UITableViewCell>&, const Ref<NSIndexPath>& ip) override
    {
        log.add("willDisplay " + path(ip));
    }
    void tableViewDidEndDisplayingCellForRowAtIndexPath(
        const Ref<UITableView>&, const Ref<UITableViewCell>&, const Ref<NSIndexPath>& ip) override
    {
        log.add("didEndDisplaying " + path(ip));
    }
    Ref<NSIndexPath> tableViewWillSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>& ip) override
    {
        log.add("willSelect " + path(ip));
        const std::string& title = sections[ip->section()][ip->row()];
        if (title == "to top")
            return NSIndexPath::indexPathForRowInSection(0, ip->section());
        return title == "locked" ? nullptr : ip;
    }
    Ref<NSIndexPath> tableViewWillDeselectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>& ip) override
    {
        return sections[ip->section()][ip->row()] == "kept" ? nullptr : ip;
    }
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>& ip) override
    {
        log.add("didSelect " + path(ip));
    }
    void tableViewDidDeselectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>& ip) override
    {
        log.add("didDeselect " + path(ip));
    }
    void tableViewCommitEditingStyleForRowAtIndexPath(
        const Ref<UITableView>& table, UITableViewCellEditingStyle style, const Ref<NSIndexPath>& ip) override
    {
        if (style != UITableViewCellEditingStyleDelete)
            return;
        auto& rows = sections[ip->section()];
        rows.erase(rows.begin() + ip->row());
        table->deleteRowsAtIndexPathsWithRowAnimation({ ip }, UITableViewRowAnimationFade);
    }
    bool respondsToMoveRow() const override { return true; }
    void tableViewMoveRowAtIndexPathToIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& to) override
    {
        auto title = sections[from->section()][from->row()];
        sections[from->section()].erase(sections[from->section()].begin() + from->row());
        sections[to->section()].insert(sections[to->section()].begin() + to->row(), title);
    }
    Ref<NSIndexPath> tableViewTargetIndexPathForMoveFromRowAtIndexPathToProposedIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& proposed) override
    {
        // Rows stay in their own section.
        if (proposed->section() != from->section())
            return NSIndexPath::indexPathForRowInSection(0, from->section());
        return proposed;
    }

    std::vector<std::string> sectionIndexTitlesForTableView(const Ref<UITableView>&) override { return indexTitles; }
    int32_t tableViewSectionForSectionIndexTitleAtIndex(
        const Ref<UITableView>&, const std::string& title, int32_t index) override
    {
        log.add("index " + title + " " + std::to_string(index));
        return title == "?" ? 99 : title == "#" ? 0 : index;
    }

    std::vector<std::vector<std::string>> sections;
    std::vector<std::string> headers;
    std::vector<std::string> indexTitles;
    int cellRequests { 0 };
    int heightRequests { 0 };
    EventRecorder log;
};

std::vector<std::string> numbered(const std::string& prefix, int count)
{
    std::vector<std::string> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(prefix + std::to_string(i));
    return rows;
}

class UITableViewTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        CountingCell::s_made = CountingCell::s_prepared = 0;
        m_window = makeKeyWindow();
        m_rows = Rows::init();
    }

    Ref<UITableView> makeTable(UITableViewStyle style = UITableViewStylePlain)
    {
        auto table = UITableView::initWithFrameStyle(CGRectMake(0, 0, 320, 400), style);
        table->registerClassForCellReuseIdentifier<CountingCell>("Row");
        table->setDataSource(m_rows.get(), m_rows);
        table->setTableDelegate(m_rows.get(), m_rows);
        m_window->addSubview(table);
        return table;
    }

    std::vector<std::string> shownTitles(const Ref<UITableView>& table)
    {
        std::vector<std::string> titles;
        for (const auto& ip : table->indexPathsForVisibleRows())
            titles.push_back(path(ip) + "=" + table->cellForRowAtIndexPath(ip)->textLabel()->text());
        return titles;
    }

    Ref<UIWindow> m_window;
    Ref<Rows> m_rows;
};

// A table screen that sizes its rows itself.
class TallRowsController : public UITableViewController {
    VX_OBJECT(TallRowsController, UITableViewController)
public:
    explicit TallRowsController(Passkey key)
        : UITableViewController(key)
    {
    }
    static Ref<TallRowsController> init() { return makeTableController<TallRowsController>(UITableViewStylePlain); }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override { return 3; }
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override
    {
        return 100;
    }
};

TEST_F(UITableViewTest, ATableScreenIsItsTablesDelegate)
{
    auto controller = TallRowsController::init();
    auto table = controller->tableView();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->tableDelegate(), static_cast<UITableViewDelegate*>(controller.get()));
    table->setFrame(CGRectMake(0, 0, 320, 400));
    m_window->addSubview(table);
    table->layoutIfNeeded();
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(1, 0)).origin.y, 100);
}

TEST_F(UITableViewTest, AsksForVisibleCellsOnlyAndReusesThem)
{
    m_rows->sections = { numbered("r", 100) };
    auto table = makeTable();
    UIApplicationHost::runUntilIdle();
    // 400 points of 44-point rows: rows 0 to 9.
    EXPECT_EQ(table->visibleCells().size(), 10u);
    EXPECT_EQ(m_rows->cellRequests, 10);
    EXPECT_EQ(table->contentSize().height, 4400);
    EXPECT_NE(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(9, 0)), nullptr);
    EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(50, 0)), nullptr);
    auto firstCell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(0, 0));
    EXPECT_EQ(path(table->indexPathForCell(firstCell)), "0.0");

    m_rows->log.take();
    table->setContentOffset(CGPointMake(0, 44 * 20));
    UIApplicationHost::runUntilIdle();
    EXPECT_EQ(table->indexPathsForVisibleRows().front()->row(), 20);
    EXPECT_EQ(table->indexPathsForVisibleRows().back()->row(), 29);
    // The cells that left were handed out again, prepared for reuse, and no new ones made.
    EXPECT_EQ(CountingCell::s_made, 10);
    EXPECT_EQ(CountingCell::s_prepared, 10);
    EXPECT_EQ(firstCell->textLabel()->text().substr(0, 2), "r2");
    auto events = m_rows->log.take();
    EXPECT_EQ(events.front(), "didEndDisplaying 0.0");
    EXPECT_EQ(events.back(), "willDisplay 0.29");

    // Reloading asks again for what is on screen only.
    m_rows->cellRequests = 0;
    table->reloadData();
    UIApplicationHost::runUntilIdle();
    EXPECT_EQ(m_rows->cellRequests, 10);
    EXPECT_EQ(CountingCell::s_made, 10);
}

TEST_F(UITableViewTest, LaysOutSectionsHeadersAndRowHeights)
{
    struct Case {
        const char* name;
        UITableViewStyle style;
        std::vector<std::string> expected; // header 0, row 0.0, row 0.1, footer 0, header 1, row 1.0
    };
    const std::vector<Case> cases = {
        { "plain", UITableViewStylePlain, { "0+22", "22+44", "66+100", "166+0", "166+0", "166+44" } },
        { "grouped", UITableViewStyleGrouped, { "0+10", "10+44", "54+100", "154+10", "164+10", "174+44" } },
    };
    m_rows->sections = { { "a", "tall b" }, { "c" } };
    m_rows->headers = { "First" };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto table = makeTable(c.style);
        std::vector<std::string> rects = {
            rect(table->rectForHeaderInSection(0)),
            rect(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(0, 0))),
            rect(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(1, 0))),
            rect(table->rectForFooterInSection(0)),
            rect(table->rectForHeaderInSection(1)),
            rect(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(0, 1))),
        };
        EXPECT_THAT(rects, ElementsAreArray(c.expected));
        CGRect row = table->rectForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(1, 0));
        EXPECT_EQ(path(table->indexPathForRowAtPoint(CGPointMake(10, CGRectGetMaxY(row) - 1))), "0.1");
        EXPECT_EQ(path(table->indexPathForRowAtPoint(CGPointMake(10, 2000))), "nil");
        auto header = std::dynamic_pointer_cast<UILabel>(table->headerViewForSection(0));
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->text(), "First");
        {
            // The title lines up with the cells' content, 15 points in, not at the table's edge.
            auto context = UIGraphicsCreateImageContext(header->bounds().size, false, 1);
            ASSERT_TRUE(context);
            UIGraphicsPushContext(context);
            header->drawRect(header->bounds());
            UIGraphicsPopContext();
            auto* data = static_cast<const uint8_t*>(CGBitmapContextGetData(context));
            size_t perRow = CGBitmapContextGetBytesPerRow(context);
            size_t firstInk = SIZE_MAX;
            for (size_t y = 0; y < CGBitmapContextGetHeight(context); ++y)
                for (size_t x = 0; x < CGBitmapContextGetWidth(context); ++x)
                    if (data[y * perRow + x * 4 + 3] != 0)
                        firstInk = std::min(firstInk, x);
            EXPECT_GE(firstInk, 15u);
            EXPECT_LT(firstInk, 30u);
        }
        // Scrolled into the section, a plain header stays at the top; a grouped one scrolls away.
        table->setContentOffset(CGPointMake(0, 30));
        auto scrolled = table->headerViewForSection(0);
        if (c.style == UITableViewStylePlain)
            EXPECT_EQ(rect(scrolled->frame()), "30+22");
        else
            EXPECT_EQ(scrolled, nullptr);
        table->removeFromSuperview();
    }
}

TEST_F(UITableViewTest, SeveralPinnedHeadersSettleAboveTheCellsInSectionOrder)
{
    // Three short sections with headers, all on screen at once: each layout pass places the
    // headers, and that must not ask for yet another pass.
    m_rows->sections = { { "a" }, { "b" }, { "c" } };
    m_rows->headers = { "A", "B", "C" };
    auto table = makeTable();
    // Run-loop passes until nothing is pending, at most 20.
    auto passesToSettle = [] {
        int passes = 0;
        while (NSRunLoop::mainRunLoop()->hasPendingWorkInMode(NSDefaultRunLoopMode) && passes < 20) {
            runOnePass();
            ++passes;
        }
        return passes;
    };
    EXPECT_LT(passesToSettle(), 20);
    const auto& views = table->subviews();
    ASSERT_GE(views.size(), 3u);
    for (int32_t s = 0; s < 3; ++s)
        EXPECT_EQ(views[views.size() - 3 + size_t(s)], table->headerViewForSection(s)) << "section " << s;

    // Scrolling re-lays the cells under the headers without reordering them again.
    table->setContentOffset(CGPointMake(0, 1));
    EXPECT_LT(passesToSettle(), 20);
}

TEST_F(UITableViewTest, BatchedUpdatesKeepSurvivingCellsAndAskHeightsAgain)
{
    m_rows->sections = { { "a", "b", "c", "d" } };
    auto table = makeTable();
    UIApplicationHost::runUntilIdle();
    auto cellB = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(1, 0));
    auto cellD = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(3, 0));
    table->selectRowAtIndexPathAnimatedScrollPosition(
        NSIndexPath::indexPathForRowInSection(3, 0), false, UITableViewScrollPositionNone);

    // Delete "a" (old row 0), insert "new" at new row 1, reload "c" (old row 2).
    m_rows->sections = { { "b", "new", "c!", "d" } };
    m_rows->heightRequests = 0;
    m_rows->cellRequests = 0;
    table->clearRecordedUpdates();
    table->beginUpdates();
    table->deleteRowsAtIndexPathsWithRowAnimation(
        { NSIndexPath::indexPathForRowInSection(0, 0) }, UITableViewRowAnimationLeft);
    table->insertRowsAtIndexPathsWithRowAnimation(
        { NSIndexPath::indexPathForRowInSection(1, 0) }, UITableViewRowAnimationFade);
    table->reloadRowsAtIndexPathsWithRowAnimation(
        { NSIndexPath::indexPathForRowInSection(2, 0) }, UITableViewRowAnimationNone);
    EXPECT_EQ(m_rows->heightRequests, 0);
    table->endUpdates();

    EXPECT_EQ(m_rows->heightRequests, 4);
    EXPECT_EQ(m_rows->cellRequests, 2); // the inserted row and the reloaded one
    EXPECT_THAT(shownTitles(table), ElementsAre("0.0=b", "0.1=new", "0.2=c!", "0.3=d"));
    EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(0, 0)), cellB);
    EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(3, 0)), cellD);
    EXPECT_EQ(path(table->indexPathForSelectedRow()), "0.3");
    const auto& updates = table->recordedUpdates();
    ASSERT_EQ(updates.size(), 3u);
    EXPECT_EQ(updates[0].kind, UITableViewRecordedUpdate::Kind::DeleteRows);
    EXPECT_EQ(updates[0].animation, UITableViewRowAnimationLeft);
    EXPECT_EQ(updates[1].kind, UITableViewRecordedUpdate::Kind::InsertRows);
    EXPECT_EQ(updates[1].animation, UITableViewRowAnimationFade);

    // An empty begin/end pair asks the heights again.
    m_rows->heightRequests = 0;
    table->beginUpdates();
    table->endUpdates();
    EXPECT_EQ(m_rows->heightRequests, 4);

    // Counts that disagree with the updates are refused, and the table reloads instead.
    m_rows->sections = { { "b", "new", "c!", "d", "e" } };
    try {
        table->deleteRowsAtIndexPathsWithRowAnimation(
            { NSIndexPath::indexPathForRowInSection(0, 0) }, UITableViewRowAnimationFade);
        ADD_FAILURE() << "an inconsistent update was accepted";
    } catch (const NSException& e) {
        EXPECT_EQ(e.name(), NSInternalInconsistencyException);
        EXPECT_NE(e.reason().find("invalid number of rows in section 0"), std::string::npos) << e.reason();
    }
    EXPECT_EQ(table->numberOfRowsInSection(0), 5);
    EXPECT_EQ(shownTitles(table).back(), "0.4=e");
}

TEST_F(UITableViewTest, EditingDeletesAndMovesThroughTheDataSource)
{
    m_rows->sections = { { "a", "b", "c" }, { "x", "y" } };
    auto table = makeTable();
    table->setEditing(true);
    UIApplicationHost::runUntilIdle();
    EXPECT_TRUE(table->visibleCells().front()->isEditing());

    EXPECT_TRUE(table->userCommitDeleteOfRowAtIndexPath(NSIndexPath::indexPathForRowInSection(1, 0)));
    EXPECT_THAT(shownTitles(table), ElementsAre("0.0=a", "0.1=c", "1.0=x", "1.1=y"));

    struct Case {
        const char* name;
        Ref<NSIndexPath> from, proposed;
        const char* landed;
        std::vector<std::string> shown;
    };
    const std::vector<Case> cases = {
        { "within a section", NSIndexPath::indexPathForRowInSection(0, 0), NSIndexPath::indexPathForRowInSection(1, 0),
            "0.1", { "0.0=c", "0.1=a", "1.0=x", "1.1=y" } },
        { "redirected back to its own section", NSIndexPath::indexPathForRowInSection(1, 1),
            NSIndexPath::indexPathForRowInSection(1, 0), "1.0", { "0.0=c", "0.1=a", "1.0=y", "1.1=x" } },
        { "past the end is clamped", NSIndexPath::indexPathForRowInSection(0, 1),
            NSIndexPath::indexPathForRowInSection(9, 1), "1.1", { "0.0=c", "0.1=a", "1.0=x", "1.1=y" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(path(table->userMoveRowAtIndexPathToProposedIndexPath(c.from, c.proposed)), c.landed);
        EXPECT_THAT(shownTitles(table), ElementsAreArray(c.shown));
    }
}

TEST_F(UITableViewTest, TapsSelectThroughTheDelegateAndCodeDoesNot)
{
    m_rows->sections = { { "a", "locked", "c" } };
    auto table = makeTable();
    UIApplicationHost::runUntilIdle();
    m_rows->log.take();

    UIApplicationHost::tap(CGPointMake(100, 20));
    UIApplicationHost::tap(CGPointMake(100, 100));
    m_clock.advance(1);
    UIApplicationHost::tap(CGPointMake(100, 60));
    EXPECT_THAT(m_rows->log.take(),
        ElementsAre(
            "willSelect 0.0", "didSelect 0.0", "willSelect 0.2", "didDeselect 0.0", "didSelect 0.2", "willSelect 0.1"));
    EXPECT_EQ(path(table->indexPathForSelectedRow()), "0.2");
    EXPECT_TRUE(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(2, 0))->isSelected());

    // A drag is not a tap.
    auto touch = UIApplicationHost::touchDown(CGPointMake(100, 20));
    UIApplicationHost::touchMove(touch, CGPointMake(100, 120));
    UIApplicationHost::touchUp(touch);
    m_clock.advance(2);
    EXPECT_THAT(m_rows->log.take(), ElementsAre());

    table->selectRowAtIndexPathAnimatedScrollPosition(
        NSIndexPath::indexPathForRowInSection(0, 0), false, UITableViewScrollPositionNone);
    table->deselectRowAtIndexPathAnimated(NSIndexPath::indexPathForRowInSection(0, 0), false);
    EXPECT_THAT(m_rows->log.take(), ElementsAre());
    EXPECT_EQ(table->indexPathForSelectedRow(), nullptr);
}

TEST_F(UITableViewTest, TapsFollowTheSelectionModeAndTheDelegatesAnswers)
{
    m_rows->sections = { { "a", "b", "kept", "locked", "to top" } };
    struct Case {
        const char* name;
        bool multiple;
        bool allowsSelection;
        bool editing;
        std::vector<int32_t> taps;
        std::vector<std::string> log;
        std::vector<std::string> selected;
    };
    const std::vector<Case> cases = {
        { "single: a tap replaces the selection", false, true, false, { 0, 1 },
            { "willSelect 0.0", "didSelect 0.0", "willSelect 0.1", "didDeselect 0.0", "didSelect 0.1" }, { "0.1" } },
        { "single: the selected row tapped again stays", false, true, false, { 0, 0 },
            { "willSelect 0.0", "didSelect 0.0", "willSelect 0.0", "didSelect 0.0" }, { "0.0" } },
        { "multiple: a second tap deselects", true, true, false, { 0, 1, 0 },
            { "willSelect 0.0", "didSelect 0.0", "willSelect 0.1", "didSelect 0.1", "didDeselect 0.0" }, { "0.1" } },
        { "single: a row the delegate keeps stays selected", false, true, false, { 2, 0 },
            { "willSelect 0.2", "didSelect 0.2", "willSelect 0.0", "didSelect 0.0" }, { "0.0", "0.2" } },
        { "multiple: a row the delegate keeps stays selected", true, true, false, { 2, 2 },
            { "willSelect 0.2", "didSelect 0.2" }, { "0.2" } },
        { "the delegate refuses a row", false, true, false, { 0, 3 },
            { "willSelect 0.0", "didSelect 0.0", "willSelect 0.3" }, { "0.0" } },
        { "the delegate redirects a row", false, true, false, { 1, 4 },
            { "willSelect 0.1", "didSelect 0.1", "willSelect 0.4", "didDeselect 0.1", "didSelect 0.0" }, { "0.0" } },
        { "selection off", false, false, false, { 0 }, {}, {} },
        { "editing without selection during editing", false, true, true, { 0 }, {}, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto table = makeTable();
        table->setAllowsMultipleSelection(c.multiple);
        table->setAllowsSelection(c.allowsSelection);
        table->setEditing(c.editing);
        table->layoutIfNeeded();
        m_rows->log.take();
        for (int32_t row : c.taps)
            table->userSelectRowAtIndexPath(NSIndexPath::indexPathForRowInSection(row, 0));
        EXPECT_THAT(m_rows->log.take(), ElementsAreArray(c.log));
        std::vector<std::string> selected;
        for (const auto& ip : table->indexPathsForSelectedRows()) {
            selected.push_back(path(ip));
            EXPECT_TRUE(table->cellForRowAtIndexPath(ip)->isSelected());
        }
        EXPECT_THAT(selected, ElementsAreArray(c.selected));
        table->removeFromSuperview();
    }
}

TEST_F(UITableViewTest, SelectingInCodeFollowsTheSelectionMode)
{
    m_rows->sections = { { "a", "b", "c" } };
    auto table = makeTable();
    auto select = [&](int32_t row) {
        table->selectRowAtIndexPathAnimatedScrollPosition(
            row < 0 ? nullptr : NSIndexPath::indexPathForRowInSection(row, 0), false, UITableViewScrollPositionNone);
    };
    auto selected = [&] {
        std::vector<std::string> paths;
        for (const auto& ip : table->indexPathsForSelectedRows())
            paths.push_back(path(ip));
        return paths;
    };
    select(0);
    select(2);
    EXPECT_THAT(selected(), ElementsAre("0.2"));
    table->setAllowsMultipleSelection(true);
    select(0);
    EXPECT_THAT(selected(), ElementsAre("0.0", "0.2"));
    EXPECT_EQ(path(table->indexPathForSelectedRow()), "0.0");
    // Selecting nothing clears the selection; a table that does not allow selection still
    // selects in code.
    select(-1);
    EXPECT_THAT(selected(), ElementsAre());
    table->setAllowsSelection(false);
    select(1);
    EXPECT_THAT(selected(), ElementsAre("0.1"));
    EXPECT_TRUE(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(1, 0))->isSelected());
}

TEST_F(UITableViewTest, ScrollsRowsIntoPlace)
{
    m_rows->sections = { numbered("r", 100) };
    auto table = makeTable();
    struct Case {
        const char* name;
        int row;
        UITableViewScrollPosition position;
        CGFloat expected;
    };
    const std::vector<Case> cases = {
        { "top", 20, UITableViewScrollPositionTop, 880 },
        { "middle", 20, UITableViewScrollPositionMiddle, 880 + 22 - 200 },
        { "bottom", 20, UITableViewScrollPositionBottom, 924 - 400 },
        { "none, already visible", 15, UITableViewScrollPositionNone, 924 - 400 },
        { "top past the end is clamped", 99, UITableViewScrollPositionTop, 4400 - 400 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        table->scrollToRowAtIndexPathAtScrollPositionAnimated(
            NSIndexPath::indexPathForRowInSection(c.row, 0), c.position, false);
        EXPECT_EQ(table->contentOffset().y, c.expected);
    }
    EXPECT_THROW(table->scrollToRowAtIndexPathAtScrollPositionAnimated(
                     NSIndexPath::indexPathForRowInSection(100, 0), UITableViewScrollPositionTop, false),
        NSException);
}

TEST_F(UITableViewTest, DequeuesFromRegistrations)
{
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 400));
    EXPECT_EQ(table->dequeueReusableCellWithIdentifier("Unknown"), nullptr);
    EXPECT_THROW(
        table->dequeueReusableCellWithIdentifierForIndexPath("Unknown", NSIndexPath::indexPathForRowInSection(0, 0)),
        NSException);

    UILayoutRegistry::registerLayout("TestSubtitleCell", [](const Ref<NSObject>&, const Value&) {
        return std::vector<Value> { Value(
            UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleSubtitle, "")) };
    });
    table->registerNibForCellReuseIdentifier(UINib::nibWithNibNameBundle("TestSubtitleCell", nullptr), "Subtitle");
    auto cell
        = table->dequeueReusableCellWithIdentifierForIndexPath("Subtitle", NSIndexPath::indexPathForRowInSection(0, 0));
    UILayoutRegistry::unregisterLayout("TestSubtitleCell");
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->reuseIdentifier(), "Subtitle");
    EXPECT_EQ(cell->style(), UITableViewCellStyleSubtitle);
    EXPECT_NE(cell->detailTextLabel(), nullptr);

    table->registerClassForCellReuseIdentifier(UITableViewCell::classObject(), "Plain");
    auto plain = table->dequeueReusableCellWithIdentifier("Plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->reuseIdentifier(), "Plain");
    EXPECT_EQ(plain->detailTextLabel(), nullptr);

    // An accessory leaves less room for the content.
    plain->setFrame(CGRectMake(0, 0, 320, 44));
    plain->layoutIfNeeded();
    CGFloat full = plain->contentView()->frame().size.width;
    plain->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
    plain->layoutIfNeeded();
    EXPECT_LT(plain->contentView()->frame().size.width, full);
}

} // namespace

namespace {
// The separator lines the table shows, as "y x+width" in content space.
std::vector<std::string> separatorLines(const Ref<UITableView>& table)
{
    std::vector<std::string> lines;
    for (const auto& view : table->subviews()) {
        CGRect f = view->frame();
        if (view->isMemberOfClass(UIView::classObject()) && f.size.height <= 1 && view->backgroundColor()
            && view->backgroundColor()->isEqual(table->separatorColor().get()))
            lines.push_back(std::to_string(int(std::lround(f.origin.y + f.size.height))) + " "
                + std::to_string(int(f.origin.x)) + "+" + std::to_string(int(f.size.width)));
    }
    std::sort(lines.begin(), lines.end(),
        [](const std::string& a, const std::string& b) { return std::stoi(a) < std::stoi(b); });
    return lines;
}
} // namespace

TEST_F(UITableViewTest, SeparatorsFollowTheRowsAndFillAPlainTableWithoutFooter)
{
    m_rows->sections = { { "a", "tall b" } };
    auto table = makeTable();
    table->layoutIfNeeded();
    // Under each row, then a row height apart down to the bottom of the 400-point view.
    EXPECT_THAT(separatorLines(table),
        ElementsAre("44 15+305", "144 15+305", "188 15+305", "232 15+305", "276 15+305", "320 15+305", "364 15+305"));

    struct Case {
        const char* name;
        std::function<void()> change;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        { "an empty footer view ends them at the last row",
            [&] { table->setTableFooterView(UIView::initWithFrame(CGRectZero)); }, { "44 15+305", "144 15+305" } },
        { "insets", [&] { table->setSeparatorInset(UIEdgeInsetsMake(0, 0, 0, 20)); }, { "44 0+300", "144 0+300" } },
        { "colour", [&] { table->setSeparatorColor(UIColor::redColor()); }, { "44 0+300", "144 0+300" } },
        { "none", [&] { table->setSeparatorStyle(UITableViewCellSeparatorStyleNone); }, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        table->layoutIfNeeded();
        EXPECT_EQ(separatorLines(table), c.lines);
    }
}

TEST_F(UITableViewTest, SectionIndexScrollsToTheSectionOfTheTouchedTitle)
{
    for (int s = 0; s < 10; ++s)
        m_rows->sections.push_back(numbered("r", 5));
    m_rows->indexTitles = { "#", "B", "C", "D", "E", "F", "G", "H", "?", "J" };
    auto table = makeTable();
    table->layoutIfNeeded();
    auto index = table->sectionIndexView();
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(rect(index->frame()), "0+400");
    m_rows->log.take();

    // Ten 16-point entries in the middle of the 400-point height; each section is 220 points.
    auto entry = [](int i) { return CGPointMake(305, 120 + 16 * CGFloat(i) + 8); };
    auto asked = [&] {
        std::vector<std::string> entries;
        for (auto& e : m_rows->log.take()) {
            if (e.rfind("index", 0) == 0 || (e.rfind("did", 0) == 0 && e.rfind("didEndDisplaying", 0) != 0))
                entries.push_back(e);
        }
        return entries;
    };
    auto touch = UIApplicationHost::touchDown(entry(3));
    EXPECT_EQ(table->contentOffset().y, 660);
    EXPECT_THAT(asked(), ElementsAre("index D 3"));
    struct Step {
        CGPoint to;
        CGFloat offset;
        const char* asked; // nullptr: the same entry, nothing asked
    };
    const Step steps[] = {
        { CGPointMake(305, 120 + 16 * 3 + 14), 660, nullptr },
        { entry(0), 0, "index # 0" },
        { entry(8), 0, "index ? 8" },
        { CGPointMake(305, 395), 1800, "index J 9" },
        { CGPointMake(305, 5), 0, "index # 0" },
    };
    for (const auto& step : steps) {
        m_clock.advance(0.05);
        UIApplicationHost::touchMove(touch, step.to);
        EXPECT_EQ(table->contentOffset().y, step.offset);
        auto questions = asked();
        if (step.asked)
            EXPECT_THAT(questions, ElementsAre(step.asked));
        else
            EXPECT_TRUE(questions.empty());
    }
    UIApplicationHost::touchUp(touch);
    EXPECT_FALSE(table->isDragging());
    EXPECT_TRUE(asked().empty()) << "no row was selected";

    // Below the minimum row count there is no index.
    table->setSectionIndexMinimumDisplayRowCount(51);
    table->layoutIfNeeded();
    EXPECT_EQ(table->sectionIndexView(), nullptr);
}
