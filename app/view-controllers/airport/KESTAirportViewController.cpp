#include "app/view-controllers/airport/KESTAirportViewController.h"

#include "app/core/KESTAirport.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTURLEscaping.h"
#include "app/view-controllers/airport/KESTAirportViewCell.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewController.h"
#include "app/view-controllers/search/KESTSearchDelegate.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "foundation/NSTimer.h"
#include "foundation/NSUserDefaults.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNJSONResponseSerializer.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UISegmentedControl.h"

VX_REGISTER_CLASS(KESTAirportViewController);

namespace {

Ref<UIColor> patternOf(const char* name)
{
    auto image = UIImage::imageNamed(name);
    return image ? UIColor::colorWithPatternImage(image) : UIColor::blackColor();
}

} // namespace

KESTAirportViewController::~KESTAirportViewController()
{
    if (m_tableView) {
        m_tableView->setTableDelegate(nullptr, {});
        m_tableView->setDataSource(nullptr, {});
    }
}

Ref<KESTAirportViewController> KESTAirportViewController::initWithAirport(const Ref<KESTAirport>& airport)
{
    auto board = makeController<KESTAirportViewController>("KESTAirportView", nullptr);
    board->m_airport = airport;
    // The content starts below the navigation bar, as the platform's automatic insets would
    // place it.
    board->setEdgesForExtendedLayout(UIRectEdgeNone);
    board->m_extendedCellIndexPath = nullptr;
    Value mode = NSUserDefaults::standardUserDefaults()->objectForKey(kModeKey);
    board->m_currentKey = mode.isString() ? mode.string() : "arr";
    if (airport)
        board->setTitle(airport->title());
    board->m_operationQueue = NSOperationQueue::init();
    board->startUpdateTimer();
    board->updateBoard();
    return board;
}

void KESTAirportViewController::updateBoard()
{
    Weak<KESTAirportViewController> weak = self<KESTAirportViewController>();
    auto url = NSURL::URLWithString(NSString::stringWithFormat("%@APPAPIv2/airportInfo.php?iata=%@",
        KESTLiveDataManager::serviceBaseURL(), KESTURLEscaping::escapedValue(m_airport ? m_airport->iata() : "")));
    if (!url)
        return; // as a failed request: the board keeps what it shows
    auto operation = VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(url));
    operation->setResponseSerializer(VNJSONResponseSerializer::serializer());
    operation->setCompletionBlockWithSuccessFailure(
        [weak](const Ref<VNHTTPRequestOperation>&, const Value& answer) {
            auto board = weak.lock();
            if (!board)
                return;
            board->m_results = answer;
            if (board->m_tableView)
                board->m_tableView->reloadSectionsWithRowAnimation({ 0 }, UITableViewRowAnimationFade);
        },
        [](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&) {});
    operation->start();
}

void KESTAirportViewController::startUpdateTimer()
{
    if (m_updateTimer)
        return;
    auto board = self<KESTAirportViewController>();
    m_updateTimer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
        60.0, board, [raw = board.get()](const Ref<NSTimer>&) { raw->updateBoard(); }, Value(), true);
}

void KESTAirportViewController::stopUpdateTimer()
{
    if (!m_updateTimer)
        return;
    m_updateTimer->invalidate();
    m_updateTimer = nullptr;
}

std::string KESTAirportViewController::directionTitle() const
{
    return NSString::uppercaseString(NSLocalizedString(m_currentKey == "arr" ? "From" : "To"));
}

void KESTAirportViewController::viewWillAppear(bool animated)
{
    KESTBaseViewController::viewWillAppear(animated);
    setNeedsStatusBarAppearanceUpdate();
    if (auto navigation = navigationController()) {
        auto bar = navigation->navigationBar();
        if (bar->titleLabel())
            bar->titleLabel()->setTextColor(UIColor::whiteColor());
        if (!m_navigationBarBackdrop) {
            m_navigationBarBackdrop = UIView::initWithFrame(bar->bounds());
            m_navigationBarBackdrop->setAutoresizingMask(
                UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
            m_navigationBarBackdrop->setBackgroundColor(patternOf("blackNavBg.png"));
        }
        bar->insertSubviewAtIndex(m_navigationBarBackdrop, 0);
    }
    CGFloat width = view()->bounds().size.width;
    auto header = UIView::initWithFrame(CGRectMake(0, 0, width, 64));
    header->setBackgroundColor(UIColor::blackColor());
    m_toggleControl
        = UISegmentedControl::initWithItems({ NSLocalizedString("Inbound"), NSLocalizedString("Outbound") });
    m_toggleControl->setFrame(CGRectMake(16, 14, width - 32, 29));
    m_toggleControl->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    m_toggleControl->setSelectedSegmentIndex(m_currentKey == "arr" ? 0 : 1);
    m_toggleControl->addTarget(self<KESTAirportViewController>(), &KESTAirportViewController::switchBoard,
        "switchBoard:", UIControlEventValueChanged);
    header->addSubview(m_toggleControl);

    m_tableHeaderView = UIView::initWithFrame(CGRectMake(0, 0, width, 22));
    m_tableHeaderView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    m_tableHeaderView->setBackgroundColor(patternOf("airportHeaderBackground"));
    auto column = [&](CGFloat x, const std::string& text, UIViewAutoresizing mask) {
        auto label = UILabel::initWithFrame(CGRectMake(x, 3, 75, 16));
        label->setBackgroundColor(UIColor::clearColor());
        label->setTextColor(UIColor::whiteColor());
        label->setFont(UIFont::systemFontOfSize(11));
        label->setText(NSString::uppercaseString(text));
        label->setAutoresizingMask(mask);
        m_tableHeaderView->addSubview(label);
        return label;
    };
    const auto flexLR = UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin;
    m_flightNoHeaderLabel = column(16, NSLocalizedString("Flight No."), UIViewAutoresizingFlexibleRightMargin);
    m_timeHeaderLabel = column(110, NSLocalizedString("ETA"), flexLR);
    m_directionHeaderLabel = column(186, NSLocalizedString(m_currentKey == "dep" ? "To" : "From"), flexLR);
    m_statusHeaderLabel = column(width - 75 - 16, NSLocalizedString("Status"), UIViewAutoresizingFlexibleLeftMargin);
    m_statusHeaderLabel->setTextAlignment(NSTextAlignmentRight);

    if (m_tableView) {
        m_tableView->setTableHeaderView(header);
        m_tableView->setIndicatorStyle(UIScrollViewIndicatorStyleWhite);
        m_tableView->setBackgroundColor(UIColor::blackColor());
        m_tableView->setSeparatorStyle(UITableViewCellSeparatorStyleNone);
        m_tableView->reloadData();
    }
}

void KESTAirportViewController::viewWillDisappear(bool animated)
{
    if (auto navigation = navigationController()) {
        if (navigation->navigationBar()->titleLabel())
            navigation->navigationBar()->titleLabel()->setTextColor(UIColor::blackColor());
        if (m_navigationBarBackdrop)
            m_navigationBarBackdrop->removeFromSuperview();
    }
    stopUpdateTimer();
    KESTBaseViewController::viewWillDisappear(animated);
}

void KESTAirportViewController::viewDidLayoutSubviews()
{
    KESTBaseViewController::viewDidLayoutSubviews();
    if (m_tableView)
        m_tableView->setFrame(CGRectMake(0, 0, view()->bounds().size.width, view()->bounds().size.height));
}

void KESTAirportViewController::switchBoard(const Ref<NSObject>&)
{
    m_extendedCellIndexPath = nullptr;
    startUpdateTimer();
    m_currentKey = m_currentKey == "dep" ? "arr" : "dep";
    if (m_directionHeaderLabel)
        m_directionHeaderLabel->setText(directionTitle());
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObjectForKey(Value(m_currentKey), kModeKey);
    defaults->synchronize();
    if (m_tableView)
        m_tableView->reloadSectionsWithRowAnimation({ 0 }, UITableViewRowAnimationFade);
}

Value KESTAirportViewController::currentList() const
{
    const Value& list = m_results.objectForKey(Value(m_currentKey));
    return list.isArray() ? list : Value();
}

void KESTAirportViewController::showFlight(const Ref<NSObject>&)
{
    Value list = currentList();
    // A refresh may have shortened the list since the row was opened.
    if (!m_extendedCellIndexPath || !list.isArray() || m_extendedCellIndexPath->row() < 0
        || static_cast<size_t>(m_extendedCellIndexPath->row()) >= list.count())
        return;
    const Value& item = list.objectAtIndex(static_cast<size_t>(m_extendedCellIndexPath->row()));
    const Value& hex = item.objectForKey("adshex");
    auto plane = KESTLiveDataManager::sharedInstance()->planeWithADSHEX(hex.isString() ? hex.string() : "");
    if (!plane)
        return;
    if (auto searchDelegate = delegate())
        searchDelegate->selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(plane), true);
    if (auto map = KESTMapController::sharedInstance()->mapViewController()) {
        auto popover = map->mapViewPOC();
        map->dismissMapPopover();
        if (popover)
            map->popoverControllerDidDismissPopover(popover);
    }
}

int32_t KESTAirportViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t)
{
    Value list = currentList();
    return list.isArray() ? static_cast<int32_t>(list.count()) : 0;
}

std::optional<CGFloat> KESTAirportViewController::tableViewHeightForRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    return m_extendedCellIndexPath && m_extendedCellIndexPath->isEqual(indexPath.get()) ? 300 : 54;
}

Ref<UITableViewCell> KESTAirportViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& table, const Ref<NSIndexPath>& indexPath)
{
    auto cell = std::dynamic_pointer_cast<KESTAirportViewCell>(table->dequeueReusableCellWithIdentifier("FlightCell"));
    if (!cell) {
        cell = KESTAirportViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleSubtitle, "FlightCell");
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundView(UIView::init());
    }
    bool open = m_extendedCellIndexPath && m_extendedCellIndexPath->isEqual(indexPath.get());
    cell->showExtendedSectionDuration(open, 0);
    Value list = currentList();
    if (list.isArray() && indexPath->row() >= 0 && static_cast<size_t>(indexPath->row()) < list.count()) {
        cell->fillFromItemModeOpen(
            list.objectAtIndex(static_cast<size_t>(indexPath->row())), m_currentKey, open, m_operationQueue);
        cell->actionButton()->removeTargetActionForControlEvents(nullptr, "", UIControlEventTouchUpInside);
        cell->actionButton()->addTarget(self<KESTAirportViewController>(), &KESTAirportViewController::showFlight,
            "showFlight:", UIControlEventTouchUpInside);
    }
    return cell;
}

void KESTAirportViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>& table, const Ref<NSIndexPath>& indexPath)
{
    if (!currentList().isArray())
        return;
    bool wasOpen = m_extendedCellIndexPath && m_extendedCellIndexPath->isEqual(indexPath.get());
    if (m_extendedCellIndexPath) {
        if (auto cell
            = std::dynamic_pointer_cast<KESTAirportViewCell>(table->cellForRowAtIndexPath(m_extendedCellIndexPath)))
            cell->showExtendedSectionDuration(false, 0.25f);
        m_extendedCellIndexPath = nullptr;
    }
    if (!wasOpen) {
        m_extendedCellIndexPath = indexPath;
        if (table->cellForRowAtIndexPath(indexPath)) {
            table->reloadRowsAtIndexPathsWithRowAnimation({ indexPath }, UITableViewRowAnimationNone);
            if (auto cell = std::dynamic_pointer_cast<KESTAirportViewCell>(table->cellForRowAtIndexPath(indexPath)))
                cell->showExtendedSectionDuration(true, 0.25f);
        }
    }
    table->beginUpdates();
    table->endUpdates();
    if (m_extendedCellIndexPath) {
        table->scrollToRowAtIndexPathAtScrollPositionAnimated(
            m_extendedCellIndexPath, UITableViewScrollPositionMiddle, true);
        stopUpdateTimer();
    } else {
        startUpdateTimer();
    }
}
