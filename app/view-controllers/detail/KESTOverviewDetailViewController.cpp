#include "app/view-controllers/detail/KESTOverviewDetailViewController.h"

#include "app/categories/NSDate+Extension.h"
#include "app/core/KESTFlightDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightScheduledViewCell.h"
#include "app/view-controllers/detail/KESTGeneralOverviewViewCell.h"
#include "app/view-controllers/detail/KESTPlaneHeaderViewCell.h"
#include "app/view-controllers/detail/KESTSingleColumnViewCell.h"
#include "app/view-controllers/detail/KESTThreeColumnViewCell.h"
#include "app/view-controllers/gallery/KESTGalleryFullScreenViewController.h"
#include "app/view-controllers/gallery/KESTGalleryViewController.h"
#include "app/view-controllers/gallery/KESTNoImageWarningView.h"
#include "app/widgets/KESTRouteProgressView.h"
#include "app/widgets/KESTRouteProgressViewCell.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSDate.h"
#include "foundation/NSString.h"
#include "foundation/NSTimer.h"
#include "graphics/UIColor.h"
#include "net/NSURL.h"
#include "networking/UIImageView+VNNetworking.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINib.h"

VX_REGISTER_CLASS(KESTOverviewDetailViewController);

namespace {

const char* const kNibs[] = { "KESTPlaneHeaderViewCell", "KESTThreeColumnViewCell", "KESTGeneralOverviewViewCell",
    "KESTSingleColumnViewCell", "KESTFlightScheduledViewCell" };

template <typename Cell> Ref<Cell> dequeue(const Ref<UITableView>& table, const char* name, const Ref<NSIndexPath>& at)
{
    return std::dynamic_pointer_cast<Cell>(table->dequeueReusableCellWithIdentifierForIndexPath(name, at));
}

} // namespace

Ref<KESTOverviewDetailViewController> KESTOverviewDetailViewController::initWithStyle(UITableViewStyle style)
{
    auto tab = makeDetailTab<KESTOverviewDetailViewController>(style);
    tab->installTabBarItem("Overview", "overviewTabInactive", "overviewTabActive");
    return tab;
}

void KESTOverviewDetailViewController::viewDidLoad()
{
    KESTDetailBaseViewController::viewDidLoad();
    for (const char* nib : kNibs)
        tableView()->registerNibForCellReuseIdentifier(UINib::nibWithNibNameBundle(nib, nullptr), nib);
}

void KESTOverviewDetailViewController::viewWillAppear(bool animated)
{
    KESTDetailBaseViewController::viewWillAppear(animated);
    liveDataDidUpdate();
    if (!m_timestampUpdateTimer) {
        Weak<KESTOverviewDetailViewController> weak = self<KESTOverviewDetailViewController>();
        m_timestampUpdateTimer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
            1.0, self<KESTOverviewDetailViewController>(),
            [weak](const Ref<NSTimer>&) {
                if (auto tab = weak.lock())
                    tab->updateTimestamp();
            },
            Value(), true);
    }
    updateTimestamp();
    auto detail = detailVC();
    if (detail && detail->plane()) {
        const auto& plane = detail->plane();
        detail->setTitle(!plane->fltno().empty()
                ? NSString::stringWithFormat("%@ - %@", plane->fltno(), plane->callsign())
                : NSString::stringWithFormat("%@", plane->callsign()));
    }
}

void KESTOverviewDetailViewController::viewWillDisappear(bool animated)
{
    KESTDetailBaseViewController::viewWillDisappear(animated);
    if (m_timestampUpdateTimer)
        m_timestampUpdateTimer->invalidate();
    m_timestampUpdateTimer = nullptr;
}

void KESTOverviewDetailViewController::liveDataDidUpdate()
{
    KESTDetailBaseViewController::liveDataDidUpdate();
    Weak<KESTOverviewDetailViewController> weak = self<KESTOverviewDetailViewController>();
    dispatch_async(dispatch_get_main_queue(), [weak] {
        auto tab = weak.lock();
        if (!tab)
            return;
        if (tab->isViewLoaded())
            tab->tableView()->reloadRowsAtIndexPathsWithRowAnimation(
                { NSIndexPath::indexPathForRowInSection(3, 0) }, UITableViewRowAnimationNone);
        tab->updateProgressView();
    });
}

void KESTOverviewDetailViewController::metadataDidUpdate()
{
    KESTDetailBaseViewController::metadataDidUpdate();
    updateProgressView();
}

std::string KESTOverviewDetailViewController::timestampText() const
{
    auto detail = detailVC();
    double mtime = detail && detail->plane() ? detail->plane()->mtime() : 0;
    return NSString::stringWithFormat(NSLocalizedString("Last updated %@"),
        NSDate_Extension::timeAgoSince(NSDate::dateWithTimeIntervalSince1970(mtime)));
}

void KESTOverviewDetailViewController::updateTimestamp()
{
    if (!isViewLoaded())
        return;
    auto header = std::dynamic_pointer_cast<KESTPlaneHeaderViewCell>(
        tableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(0, 0)));
    if (header && header->updateTimestampLabel())
        header->updateTimestampLabel()->setText(timestampText());
}

void KESTOverviewDetailViewController::updateProgressView()
{
    if (!m_progressView)
        return;
    auto detail = detailVC();
    if (!detail || detail->progressData().isNil()) {
        m_progressView->setAlpha(0.5f);
        return;
    }
    m_progressView->setAlpha(1.0f);
    m_progressView->setProgressData(detail->progressData());
}

void KESTOverviewDetailViewController::galleryPress(const Ref<NSObject>&)
{
    auto detail = detailVC();
    if (!detail)
        return;
    const Value& images = detail->planeImages();
    Ref<UIViewController> gallery;
    if (images.isArray() && images.count() == 1) {
        gallery = KESTGalleryFullScreenViewController::initWithImagesSelected(images, 0);
    } else {
        auto grid = KESTGalleryViewController::init();
        grid->setPlaneImages(images);
        gallery = grid;
    }
    auto navigation = UINavigationController::initWithRootViewController(gallery);
    navigation->setModalPresentationStyle(UIModalPresentationFormSheet);
    presentViewControllerAnimatedCompletion(navigation, true, nullptr);
}

std::optional<CGFloat> KESTOverviewDetailViewController::tableViewHeightForRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    switch (indexPath->row()) {
    case 0:
        return 135;
    case 1: {
        auto detail = detailVC();
        return detail && detail->airlineImage() ? 126 : 63;
    }
    case 2:
        return 70;
    default:
        return 63;
    }
}

Ref<UITableViewCell> KESTOverviewDetailViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& table, const Ref<NSIndexPath>& indexPath)
{
    auto detail = detailVC();
    auto plane = detail ? detail->plane() : nullptr;
    auto grey = KESTDetailCellStyle::shadedRowColor();
    switch (indexPath->row()) {
    case 0: {
        auto cell = dequeue<KESTPlaneHeaderViewCell>(table, "KESTPlaneHeaderViewCell", indexPath);
        if (!cell || !detail)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        const Value& images = detail->planeImages();
        auto button = cell->galleryButton();
        if (images.isArray() && images.count() > 0) {
            auto url = NSURL::URLWithString(images.objectAtIndex(0).objectForKey("thumbnail").stringValue());
            if (url && cell->planeImageView())
                UIImageView_VNNetworking::setImageWithURL(cell->planeImageView(), url);
            if (button) {
                button->removeTargetActionForControlEvents(
                    self<NSObject>(), "galleryPress:", UIControlEventTouchUpInside);
                button->addTarget(self<KESTOverviewDetailViewController>(),
                    &KESTOverviewDetailViewController::galleryPress, "galleryPress:", UIControlEventTouchUpInside);
            }
            if (cell->galleryImageView())
                cell->galleryImageView()->setHidden(false);
            if (cell->dimmerView())
                cell->dimmerView()->setHidden(false);
            if (cell->noImageView())
                cell->noImageView()->setHidden(true);
        } else {
            if (cell->noImageView())
                cell->noImageView()->setHidden(!images.isArray());
            if (button)
                button->removeTargetActionForControlEvents(
                    self<NSObject>(), "galleryPress:", UIControlEventTouchUpInside);
            if (cell->galleryImageView())
                cell->galleryImageView()->setHidden(true);
        }
        const auto& aircraft = detail->aircraftData();
        if (aircraft.size() > 1 && cell->aircraftLabel())
            cell->aircraftLabel()->setText(NSString::stringWithFormat("%@ %@", aircraft[0], aircraft[1]));
        if (cell->updateTimestampLabel())
            cell->updateTimestampLabel()->setText(timestampText());
        return cell;
    }
    case 1: {
        auto cell = dequeue<KESTGeneralOverviewViewCell>(table, "KESTGeneralOverviewViewCell", indexPath);
        if (!cell || !detail || !plane)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(UIColor::whiteColor());
        cell->airlineImageView()->setImage(detail->airlineImage());
        cell->flightNoHeaderLabel()->setText(NSLocalizedString("Flight No."));
        cell->flightNoValueLabel()->setText(plane->fltno());
        cell->callsignHeaderLabel()->setText(NSLocalizedString("Callsign"));
        std::string callsign = plane->callsign();
        cell->callsignValueLabel()->setText(
            NSString::containsString(callsign, "z.NO-") ? NSLocalizedString("N/A") : callsign);
        cell->regHeaderLabel()->setText(NSLocalizedString("Reg"));
        cell->regValueLabel()->setText(plane->reg() == "z.NO-REG" ? NSLocalizedString("N/A") : plane->reg());
        return cell;
    }
    case 2: {
        auto cell = KESTRouteProgressViewCell::cellHostingProgressView(table, m_progressView, grey, [&](CGRect frame) {
            auto view = KESTRouteProgressView::initWithFrame(frame);
            view->setShowTerminals(true);
            view->setShowAirportNameUnderTitle(true);
            view->setAirportData(detail ? detail->routeData() : Value());
            return view;
        });
        updateProgressView();
        return cell;
    }
    case 3: {
        auto cell = dequeue<KESTThreeColumnViewCell>(table, "KESTThreeColumnViewCell", indexPath);
        if (!cell || !detail)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(UIColor::whiteColor());
        cell->col1HeaderLabel()->setText(NSLocalizedString("Altitude"));
        cell->col1ValueLabel()->setText(detail->altitude());
        cell->col2HeaderLabel()->setText(NSLocalizedString("Speed"));
        cell->col2ValueLabel()->setText(detail->speed());
        cell->col3HeaderLabel()->setText(NSLocalizedString("Course"));
        cell->col3ValueLabel()->setText(detail->course());
        return cell;
    }
    case 4: {
        auto cell = dequeue<KESTFlightScheduledViewCell>(table, "KESTFlightScheduledViewCell", indexPath);
        if (!cell || !detail)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(grey);
        cell->scheduledArrivalDayHeaderLabel()->setText(NSLocalizedString("Estimated"));
        cell->elapsedJourneyTimeHeaderLabel()->setText(NSLocalizedString("Scheduled"));
        auto formatter = KESTFlightDataManager::sharedInstance();
        const Value& status = detail->metadata().objectForKey("status");
        const Value& estimated = status.isArray() && status.count() > 1 ? status.objectAtIndex(1) : Value();
        if (!estimated.isNilOrNull()) {
            cell->scheduledArrivalDayValueLabel()->setTextColor(
                formatter->colorForFlightStatus(status.objectAtIndex(0)));
            cell->scheduledArrivalDayValueLabel()->setText(
                formatter->formattedHHMMTimeWithValue(estimated.stringValue()).value_or(NSLocalizedString("N/A")));
            const Value& route = detail->metadata().objectForKey("route");
            std::optional<std::string> scheduled;
            if (route.isArray() && route.count() >= 14)
                scheduled = formatter->formattedHHMMTimeWithValue(route.objectAtIndex(13).stringValue());
            cell->elapsedJourneyTimeValueLabel()->setText(scheduled.value_or(NSLocalizedString("N/A")));
        } else {
            cell->scheduledArrivalDayValueLabel()->setText(NSLocalizedString("N/A"));
            cell->elapsedJourneyTimeValueLabel()->setText(NSLocalizedString("N/A"));
        }
        return cell;
    }
    default: {
        auto cell = dequeue<KESTSingleColumnViewCell>(table, "KESTSingleColumnViewCell", indexPath);
        if (!cell || !plane)
            return cell;
        cell->setBackgroundColor(UIColor::whiteColor());
        cell->headerLabel()->setText(NSLocalizedString("Squawk"));
        cell->valueLabel()->setText(plane->paddedSquawk());
        return cell;
    }
    }
}
