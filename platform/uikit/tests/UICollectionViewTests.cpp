#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "foundation/NSException.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewFlowLayout.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <set>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

std::string frame(CGRect r)
{
    return std::to_string(int(r.origin.x)) + "," + std::to_string(int(r.origin.y)) + " "
        + std::to_string(int(r.size.width)) + "x" + std::to_string(int(r.size.height));
}

std::string path(const Ref<NSIndexPath>& p)
{
    return p ? std::to_string(p->section()) + "." + std::to_string(p->item()) : "nil";
}

class Items : public NSObject, public UICollectionViewDataSource, public UICollectionViewDelegateFlowLayout {
    VX_OBJECT(Items, NSObject)
public:
    explicit Items(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<Items> init() { return make<Items>(); }

    int32_t numberOfSectionsInCollectionView(const Ref<UICollectionView>&) override { return int32_t(counts.size()); }
    int32_t collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, int32_t s) override { return counts[s]; }
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(
        const Ref<UICollectionView>& view, const Ref<NSIndexPath>& ip) override
    {
        ++cellRequests;
        auto cell = view->dequeueReusableCellWithReuseIdentifierForIndexPath("Item", ip);
        cell->setTag(ip->item());
        return cell;
    }
    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(
        const Ref<UICollectionView>&, UICollectionViewLayout*, const Ref<NSIndexPath>& ip) override
    {
        if (sizeOf)
            return sizeOf(ip->item());
        return std::nullopt;
    }
    void collectionViewWillDisplayCellForItemAtIndexPath(
        const Ref<UICollectionView>&, const Ref<UICollectionViewCell>&, const Ref<NSIndexPath>& ip) override
    {
        log.add("willDisplay " + path(ip));
    }
    void collectionViewDidEndDisplayingCellForItemAtIndexPath(
        const Ref<UICollectionView>&, const Ref<UICollectionViewCell>&, const Ref<NSIndexPath>& ip) override
    {
        log.add("didEndDisplaying " + path(ip));
    }
    bool collectionViewShouldSelectItemAtIndexPath(const Ref<UICollectionView>&, const Ref<NSIndexPath>& ip) override
    {
        return ip->item() != 7;
    }
    void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&, const Ref<NSIndexPath>& ip) override
    {
        log.add("didSelect " + path(ip));
    }
    bool collectionViewShouldDeselectItemAtIndexPath(const Ref<UICollectionView>&, const Ref<NSIndexPath>& ip) override
    {
        return !kept.count(ip->item());
    }
    void collectionViewDidDeselectItemAtIndexPath(const Ref<UICollectionView>&, const Ref<NSIndexPath>& ip) override
    {
        log.add("didDeselect " + path(ip));
    }
    void scrollViewDidEndDecelerating(const Ref<UIScrollView>&) override { log.add("didEndDecelerating"); }

    std::vector<int32_t> counts;
    std::function<CGSize(int32_t)> sizeOf;
    // Items the delegate does not let go of once selected.
    std::set<int32_t> kept;
    int cellRequests { 0 };
    EventRecorder log;
};

class UICollectionViewTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        m_window = makeKeyWindow();
        m_items = Items::init();
        m_layout = UICollectionViewFlowLayout::init();
    }

    Ref<UICollectionView> makeView(CGSize size)
    {
        auto view
            = UICollectionView::initWithFrameCollectionViewLayout(CGRectMake(0, 0, size.width, size.height), m_layout);
        view->registerClassForCellWithReuseIdentifier<UICollectionViewCell>("Item");
        view->setDataSource(m_items.get(), m_items);
        view->setCollectionDelegate(m_items.get(), m_items);
        m_window->addSubview(view);
        return view;
    }

    std::string itemFrame(const Ref<UICollectionView>& view, int32_t item, int32_t section = 0)
    {
        return frame(
            view->layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItemInSection(item, section))->frame());
    }

    Ref<UIWindow> m_window;
    Ref<Items> m_items;
    Ref<UICollectionViewFlowLayout> m_layout;
};

TEST_F(UICollectionViewTest, FlowLayoutFillsLinesInTheScrollDirection)
{
    struct Case {
        const char* name;
        CGSize viewSize;
        UICollectionViewScrollDirection direction;
        UIEdgeInsets inset;
        CGSize header;
        std::function<CGSize(int32_t)> sizeOf;
        std::vector<int32_t> items;
        std::vector<std::string> frames;
        std::string contentSize;
    };
    const std::vector<Case> cases = {
        { "exact fit, last line keeps the columns", { 320, 400 }, UICollectionViewScrollDirectionVertical, {}, {},
            nullptr, { 1, 2, 3, 6 }, { "110,0 100x50", "220,0 100x50", "0,60 100x50", "0,120 100x50" }, "0,0 320x170" },
        { "spare room spreads the line", { 330, 400 }, UICollectionViewScrollDirectionVertical, {}, {}, nullptr,
            { 1, 2, 4 }, { "115,0 100x50", "230,0 100x50", "115,60 100x50" }, "0,0 330x170" },
        { "insets and a header", { 320, 400 }, UICollectionViewScrollDirectionVertical, UIEdgeInsetsMake(10, 5, 20, 5),
            { 320, 30 }, nullptr, { 0, 1, 2 }, { "5,40 100x50", "215,40 100x50", "5,100 100x50" }, "0,0 320x290" },
        { "horizontal fills columns", { 400, 200 }, UICollectionViewScrollDirectionHorizontal, {}, {}, nullptr,
            { 1, 2, 3 }, { "0,75 100x50", "0,150 100x50", "110,0 100x50" }, "0,0 320x200" },
        { "delegate sizes, short items centred in their line", { 320, 400 }, UICollectionViewScrollDirectionVertical,
            {}, {}, [](int32_t i) { return i == 1 ? CGSizeMake(100, 80) : CGSizeMake(100, 40); }, { 0, 1, 2 },
            { "0,20 100x40", "110,0 100x80", "220,20 100x40" }, "0,0 320x180" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_items->counts = { 7 };
        m_items->sizeOf = c.sizeOf;
        m_layout->setItemSize(CGSizeMake(100, 50));
        m_layout->setScrollDirection(c.direction);
        m_layout->setSectionInset(c.inset);
        m_layout->setHeaderReferenceSize(c.header);
        auto view = makeView(c.viewSize);
        std::vector<std::string> frames;
        for (int32_t item : c.items)
            frames.push_back(itemFrame(view, item));
        EXPECT_THAT(frames, ElementsAreArray(c.frames));
        view->layoutIfNeeded();
        EXPECT_EQ(frame(CGRect { CGPointZero, view->contentSize() }), c.contentSize);
        view->removeFromSuperview();
    }
}

TEST_F(UICollectionViewTest, ShowsVisibleItemsOnlyAndReusesCells)
{
    m_items->counts = { 100 };
    m_layout->setItemSize(CGSizeMake(100, 100));
    auto view = makeView(CGSizeMake(320, 400));
    UIApplicationHost::runUntilIdle();
    // Rows at 0, 110, 220 and 330 reach into the first 400 points.
    EXPECT_EQ(view->visibleCells().size(), 12u);
    EXPECT_EQ(m_items->cellRequests, 12);
    EXPECT_EQ(view->cellForItemAtIndexPath(NSIndexPath::indexPathForItemInSection(40, 0)), nullptr);
    EXPECT_EQ(path(view->indexPathForItemAtPoint(CGPointMake(250, 120))), "0.5");
    EXPECT_EQ(path(view->indexPathForItemAtPoint(CGPointMake(105, 50))), "nil");

    m_items->log.take();
    view->setContentOffset(CGPointMake(0, 440));
    UIApplicationHost::runUntilIdle();
    auto visible = view->indexPathsForVisibleItems();
    EXPECT_EQ(path(visible.front()), "0.12");
    EXPECT_EQ(path(visible.back()), "0.23");
    auto events = m_items->log.take();
    EXPECT_EQ(
        std::count_if(events.begin(), events.end(), [](const std::string& e) { return e.rfind("didEnd", 0) == 0; }),
        12);
    EXPECT_EQ(events.back(), "willDisplay 0.23");
    // No new cells were made: the twelve that left came back.
    std::set<UICollectionViewCell*> distinct;
    for (const auto& cell : view->visibleCells())
        distinct.insert(cell.get());
    EXPECT_EQ(distinct.size(), 12u);
    EXPECT_EQ(view->cellForItemAtIndexPath(NSIndexPath::indexPathForItemInSection(12, 0))->tag(), 12);

    EXPECT_THROW(view->dequeueReusableCellWithReuseIdentifierForIndexPath(
                     "Missing", NSIndexPath::indexPathForItemInSection(0, 0)),
        NSException);
}

TEST_F(UICollectionViewTest, PagesScrollsToItemsAndSelectsByTap)
{
    m_items->counts = { 10 };
    m_layout->setScrollDirection(UICollectionViewScrollDirectionHorizontal);
    m_layout->setItemSize(CGSizeMake(320, 400));
    m_layout->setMinimumLineSpacing(0);
    m_layout->setMinimumInteritemSpacing(0);
    auto view = makeView(CGSizeMake(320, 400));
    view->setPagingEnabled(true);

    view->scrollToItemAtIndexPathAtScrollPositionAnimated(NSIndexPath::indexPathForItemInSection(5, 0),
        UICollectionViewScrollPositionCenteredHorizontally | UICollectionViewScrollPositionCenteredVertically, false);
    EXPECT_EQ(view->contentOffset().x, 1600);
    EXPECT_THAT(view->indexPathsForVisibleItems().size(), 1u);

    // A flick to the left pages to the next item.
    auto touch = UIApplicationHost::touchDown(CGPointMake(250, 200));
    for (int i = 1; i <= 4; ++i) {
        m_clock.advance(1.0 / 60);
        UIApplicationHost::touchMove(touch, CGPointMake(250 - 20 * i, 200));
    }
    UIApplicationHost::touchUp(touch);
    m_clock.advance(1);
    EXPECT_EQ(view->contentOffset().x, 1920);
    EXPECT_EQ(path(view->indexPathsForVisibleItems().front()), "0.6");

    m_items->log.take();
    UIApplicationHost::tap(CGPointMake(100, 100));
    EXPECT_THAT(m_items->log.take(), ElementsAre("didSelect 0.6"));
    EXPECT_TRUE(view->cellForItemAtIndexPath(NSIndexPath::indexPathForItemInSection(6, 0))->isSelected());
    view->scrollToItemAtIndexPathAtScrollPositionAnimated(
        NSIndexPath::indexPathForItemInSection(7, 0), UICollectionViewScrollPositionLeft, false);
    m_clock.advance(1);
    m_items->log.take();
    UIApplicationHost::tap(CGPointMake(100, 100));
    // The delegate refuses item 7, so 6 stays selected.
    EXPECT_THAT(m_items->log.take(), ElementsAre());
    EXPECT_THAT(view->indexPathsForSelectedItems().size(), 1u);
    EXPECT_EQ(path(view->indexPathsForSelectedItems().front()), "0.6");
}

TEST_F(UICollectionViewTest, TapsFollowTheSelectionModeAndTheDelegatesAnswers)
{
    m_items->counts = { 10 };
    m_items->kept = { 2 };
    m_layout->setItemSize(CGSizeMake(100, 100));
    struct Case {
        const char* name;
        bool multiple;
        bool allowsSelection;
        std::vector<int32_t> taps;
        std::vector<std::string> log;
        std::vector<std::string> selected;
    };
    const std::vector<Case> cases = {
        { "single: a tap replaces the selection", false, true, { 0, 1 },
            { "didSelect 0.0", "didDeselect 0.0", "didSelect 0.1" }, { "0.1" } },
        { "single: the selected item tapped again stays", false, true, { 0, 0 }, { "didSelect 0.0", "didSelect 0.0" },
            { "0.0" } },
        { "multiple: a second tap deselects", true, true, { 0, 1, 0 },
            { "didSelect 0.0", "didSelect 0.1", "didDeselect 0.0" }, { "0.1" } },
        { "single: an item the delegate keeps stays selected", false, true, { 2, 0 },
            { "didSelect 0.2", "didSelect 0.0" }, { "0.0", "0.2" } },
        { "multiple: an item the delegate keeps stays selected", true, true, { 2, 2 }, { "didSelect 0.2" }, { "0.2" } },
        { "the delegate refuses an item", false, true, { 0, 7 }, { "didSelect 0.0" }, { "0.0" } },
        { "selection off", false, false, { 0 }, {}, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = makeView(CGSizeMake(400, 400));
        view->setAllowsMultipleSelection(c.multiple);
        view->setAllowsSelection(c.allowsSelection);
        view->layoutIfNeeded();
        m_items->log.take();
        for (int32_t index : c.taps)
            view->userSelectItemAtIndexPath(NSIndexPath::indexPathForItemInSection(index, 0));
        EXPECT_THAT(m_items->log.take(), ElementsAreArray(c.log));
        std::vector<std::string> selected;
        for (const auto& ip : view->indexPathsForSelectedItems()) {
            selected.push_back(path(ip));
            EXPECT_TRUE(view->cellForItemAtIndexPath(ip)->isSelected());
        }
        EXPECT_THAT(selected, ElementsAreArray(c.selected));
        view->removeFromSuperview();
    }
}

TEST_F(UICollectionViewTest, SelectingInCodeFollowsTheSelectionMode)
{
    m_items->counts = { 3 };
    m_layout->setItemSize(CGSizeMake(100, 100));
    auto view = makeView(CGSizeMake(400, 400));
    auto select = [&](int32_t index) {
        view->selectItemAtIndexPathAnimatedScrollPosition(
            index < 0 ? nullptr : NSIndexPath::indexPathForItemInSection(index, 0), false,
            UICollectionViewScrollPositionNone);
    };
    auto selected = [&] {
        std::vector<std::string> paths;
        for (const auto& ip : view->indexPathsForSelectedItems())
            paths.push_back(path(ip));
        return paths;
    };
    select(0);
    select(2);
    EXPECT_THAT(selected(), ElementsAre("0.2"));
    view->setAllowsMultipleSelection(true);
    select(0);
    EXPECT_THAT(selected(), ElementsAre("0.0", "0.2"));
    // Selecting nothing leaves the selection as it is; a view that does not allow selection
    // does not select in code either.
    select(-1);
    EXPECT_THAT(selected(), ElementsAre("0.0", "0.2"));
    view->setAllowsSelection(false);
    select(1);
    EXPECT_THAT(selected(), ElementsAre("0.0", "0.2"));
    view->deselectItemAtIndexPathAnimated(NSIndexPath::indexPathForItemInSection(0, 0), false);
    EXPECT_THAT(selected(), ElementsAre("0.2"));
    EXPECT_FALSE(view->cellForItemAtIndexPath(NSIndexPath::indexPathForItemInSection(0, 0))->isSelected());
}

} // namespace

namespace {
Ref<NSIndexPath> item(int32_t section, int32_t index)
{
    return NSIndexPath::indexPathForItemInSection(index, section);
}
} // namespace

TEST_F(UICollectionViewTest, BatchUpdatesKeepSurvivingCellsAndAreCheckedAgainstTheDataSource)
{
    m_layout->setItemSize(CGSizeMake(100, 100));
    m_layout->setMinimumInteritemSpacing(0);
    m_layout->setMinimumLineSpacing(0);
    m_items->counts = { 4, 3 };
    auto view = makeView(CGSizeMake(400, 800));
    view->layoutIfNeeded();
    auto cellOf = [&](int32_t s, int32_t i) { return view->cellForItemAtIndexPath(item(s, i)); };
    auto second = cellOf(0, 1);
    auto third = cellOf(0, 2);
    auto other = cellOf(1, 0);
    view->selectItemAtIndexPathAnimatedScrollPosition(item(0, 2), false, UICollectionViewScrollPositionNone);
    m_items->log.take();

    // Delete item 0, insert two at the end, move section 1's item 0 into section 0 at the front.
    bool finished = false;
    int completions = 0;
    m_items->counts = { 6, 2 };
    view->performBatchUpdatesCompletion(
        [&] {
            view->deleteItemsAtIndexPaths({ item(0, 0) });
            view->insertItemsAtIndexPaths({ item(0, 4), item(0, 5) });
            view->moveItemAtIndexPathToIndexPath(item(1, 0), item(0, 0));
        },
        [&](bool f) {
            finished = f;
            ++completions;
        });
    view->layoutIfNeeded();
    EXPECT_EQ(cellOf(0, 0), other) << "the moved item keeps its cell";
    EXPECT_EQ(cellOf(0, 1), second);
    EXPECT_EQ(cellOf(0, 2), third);
    EXPECT_THAT(view->indexPathsForSelectedItems(),
        ElementsAre(::testing::Truly([](const Ref<NSIndexPath>& p) { return p->section() == 0 && p->item() == 2; })));
    EXPECT_EQ(view->numberOfItemsInSection(0), 6);
    EXPECT_EQ(completions, 0) << "completion waits for the update's animation";
    m_clock.advance(0.3);
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(finished);

    // Reloaded items get new cells; untouched ones keep theirs.
    int before = m_items->cellRequests;
    view->reloadItemsAtIndexPaths({ item(0, 1) });
    view->layoutIfNeeded();
    EXPECT_EQ(m_items->cellRequests, before + 1);
    EXPECT_EQ(cellOf(0, 2), third);

    struct Case {
        const char* name;
        std::vector<int32_t> counts; // the data source after the change
        std::function<void()> change;
        const char* reason; // part of the exception's reason
    };
    const std::vector<Case> refused = {
        { "insert without the data growing", { 6, 2 }, [&] { view->insertItemsAtIndexPaths({ item(0, 0) }); },
            "invalid number of items in section 0" },
        { "delete past the end", { 5, 2 }, [&] { view->deleteItemsAtIndexPaths({ item(0, 9) }); },
            "attempt to delete item 9 from section 0" },
        { "section count off", { 6, 2, 1 },
            [&] {
                view->insertSections({ 1, 2 });
            },
            "invalid number of sections" },
        { "delete a section that is not there", { 6 }, [&] { view->deleteSections({ 3 }); },
            "attempt to delete section 3" },
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        view->layoutIfNeeded();
        m_items->counts = c.counts;
        try {
            view->performBatchUpdatesCompletion(c.change, [&](bool) { ++completions; });
            ADD_FAILURE() << "not refused";
        } catch (const NSException& e) {
            EXPECT_NE(e.reason().find(c.reason), std::string::npos) << e.reason();
        }
        // The view loads the data again and stays usable.
        view->layoutIfNeeded();
        EXPECT_EQ(view->numberOfSections(), int32_t(c.counts.size()));
        EXPECT_EQ(view->numberOfItemsInSection(0), c.counts[0]);
    }
    m_clock.advance(1);
    EXPECT_EQ(completions, 1) << "refused changes complete nothing";

    // Sections move and delete together.
    m_items->counts = { 6, 2 };
    view->reloadData();
    view->layoutIfNeeded();
    auto firstOfSecond = cellOf(1, 0);
    m_items->counts = { 2, 3 };
    view->performBatchUpdatesCompletion(
        [&] {
            view->moveSectionToSection(1, 0);
            view->deleteSections({ 0 });
            view->insertSections({ 1 });
        },
        nullptr);
    view->layoutIfNeeded();
    EXPECT_EQ(cellOf(0, 0), firstOfSecond);
    EXPECT_EQ(view->numberOfItemsInSection(1), 3);
    EXPECT_EQ(view->recordedChanges().back(), "insertSections");
}
