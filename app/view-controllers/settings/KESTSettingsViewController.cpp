#include "app/view-controllers/settings/KESTSettingsViewController.h"

#include "app/application/KESTAppDelegate.h"
#include "app/categories/UILabel+DynamicSizing.h"
#include "app/core/KESTAlertManager.h"
#include "app/core/KESTAnalyticsManager.h"
#include "app/core/KESTAuthManager.h"
#include "app/core/KESTServiceEndpoints.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/common/KESTWebViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "app/view-controllers/settings/KESTLegalViewController.h"
#include "app/view-controllers/settings/KESTSettingsCells.h"
#include "app/view-controllers/settings/KESTSettingsDebugViewController.h"
#include "app/widgets/UIViewController+BarInsets.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLocale.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINib.h"

VX_REGISTER_CLASS(KESTSettingsViewController);

namespace {

std::string localized(const std::string& key)
{
    return NSBundle::mainBundle()->localizedStringForKey(key, "", "");
}

using Action = void (KESTSettingsViewController::*)(const Ref<NSObject>&);

enum class Kind { Segmented, Switch, Unit, Stepper, Help };

struct Row {
    Kind kind;
    const char* title;
    const char* description;
    std::vector<const char*> segments;
    Action action;
    const char* actionName;
    CGFloat height;
};

// The rows of each section, in order.
const std::vector<std::vector<Row>>& rows()
{
    using S = KESTSettingsViewController;
    static const std::vector<std::vector<Row>> s_rows = {
        {
            { Kind::Segmented, "Map Provider", nullptr, { "Apple", "Google" }, &S::mapProviderSettingChanged,
                "mapProviderSettingChanged:", 87 },
            { Kind::Segmented, "Map Style", nullptr, { "Standard", "Satellite", "Hybrid" }, &S::mapTypeSettingChanged,
                "mapTypeSettingChanged:", 87 },
            { Kind::Switch, "Screen Sleep", "Allows the screen to turn off", {}, &S::screenSleepSettingChanged,
                "screenSleepSettingChanged:", 60 },
        },
        {
            { Kind::Segmented, "Aircraft Labels", nullptr, { "Off", "On" }, &S::showLabelsSettingChanged,
                "showLabelsSettingChanged:", 87 },
            { Kind::Segmented, "Label Data", nullptr, { "Reg", "Flight No", "Callsign", "Logo" },
                &S::labelDataSettingChanged, "labelDataSettingChanged:", 87 },
        },
        {
            { Kind::Switch, "Animate Planes", "Planes animate between updates", {}, &S::movePlanesSettingChanged,
                "movePlanesSettingChanged:", 60 },
            { Kind::Switch, "Show Scheduled Flights", "Shows non ADSB traffic", {}, &S::showFAASettingChanged,
                "showFAASettingChanged:", 60 },
            { Kind::Switch, "Show Flight Paths", "Adds path behind aircraft", {}, &S::showFlightPathsSettingChanged,
                "showFlightPathsSettingChanged:", 60 },
            { Kind::Switch, "Follow Plane", "Screen follows selected plane", {}, &S::followPlaneSettingChanged,
                "followPlaneSettingChanged:", 60 },
            { Kind::Switch, "Show Airports", "Adds airport markers to map", {}, &S::showAirportsSettingChanged,
                "showAirportsSettingChanged:", 60 },
            { Kind::Segmented, "Plane Colour", nullptr, { "Red", "Yellow", "Black", "White" },
                &S::planeColourSettingChanged, "planeColourSettingChanged:", 87 },
        },
        {
            { Kind::Unit, "Speed", nullptr, { "Kts", "MPH", "KM/H" }, &S::speedUnitSettingChanged,
                "speedUnitSettingChanged:", 44 },
            { Kind::Unit, "Altitude", nullptr, { "Feet", "Meters" }, &S::altitudeUnitSettingChanged,
                "altitudeUnitSettingChanged:", 44 },
            { Kind::Unit, "Distances", nullptr, { "Miles", "Kilometers" }, &S::distanceUnitSettingChanged,
                "distanceUnitSettingChanged:", 44 },
            { Kind::Unit, "Airport Codes", nullptr, { "ICAO", "IATA" }, &S::icaoTypeSettingChanged,
                "icaoTypeSettingChanged:", 44 },
        },
        {
            { Kind::Stepper, "AR Range", nullptr, {}, &S::arRangeSettingChanged, "arRangeSettingChanged:", 60 },
        },
        {
            { Kind::Help, "Contact Support", nullptr, {}, nullptr, nullptr, 44 },
            { Kind::Help, "Open Help", nullptr, {}, nullptr, nullptr, 44 },
            { Kind::Help, "Kestravon Account", nullptr, {}, nullptr, nullptr, 44 },
            { Kind::Help, "Legal", nullptr, {}, nullptr, nullptr, 44 },
        },
        {
            { Kind::Help, "Debugging Controls", nullptr, {}, nullptr, nullptr, 44 },
        },
    };
    return s_rows;
}

const char* const s_headers[]
    = { "General Settings", "Label Settings", "Marker Settings", "Unit Settings", "AR Settings", "Help", "Debug" };

const Row* rowAt(const Ref<NSIndexPath>& indexPath)
{
    if (!indexPath)
        return nullptr;
    size_t section = size_t(indexPath->section());
    size_t row = size_t(indexPath->row());
    if (section >= rows().size() || row >= rows()[section].size())
        return nullptr;
    return &rows()[section][row];
}

// The current value of a control row.
int32_t currentValue(const std::string& title)
{
    auto settings = KESTSettingsManager::sharedInstance();
    static const std::map<std::string, std::function<int32_t(const Ref<KESTSettingsManager>&)>> s_values = {
        { "Map Provider", [](auto& s) { return s->mapProvider(); } },
        { "Map Style", [](auto& s) { return s->mapType(); } },
        { "Screen Sleep", [](auto& s) { return int32_t(s->screenSleep()); } },
        { "Aircraft Labels", [](auto& s) { return int32_t(s->showPlaneLabels()); } },
        { "Label Data", [](auto& s) { return s->planeLabelContent(); } },
        { "Animate Planes", [](auto& s) { return int32_t(s->movePlanes()); } },
        { "Show Scheduled Flights", [](auto& s) { return s->faaData(); } },
        { "Show Flight Paths", [](auto& s) { return int32_t(s->showFlightPaths()); } },
        { "Follow Plane", [](auto& s) { return int32_t(s->followPlane()); } },
        { "Show Airports", [](auto& s) { return int32_t(s->showAirports()); } },
        { "Plane Colour", [](auto& s) { return s->planeColor(); } },
        { "Speed", [](auto& s) { return s->speedUnit(); } },
        { "Altitude", [](auto& s) { return s->altitudeUnit(); } },
        { "Distances", [](auto& s) { return s->distanceUnit(); } },
        { "Airport Codes", [](auto& s) { return s->icaoType(); } },
        { "AR Range", [](auto& s) { return s->arRange(); } },
    };
    auto it = s_values.find(title);
    return it == s_values.end() ? 0 : it->second(settings);
}

std::vector<std::string> localizedAll(const std::vector<const char*>& keys)
{
    std::vector<std::string> texts;
    for (const char* key : keys)
        texts.push_back(localized(key));
    return texts;
}

void writeSegment(const Ref<NSObject>& sender, const char* key)
{
    if (auto control = std::dynamic_pointer_cast<UISegmentedControl>(sender))
        KESTSettingsManager::sharedInstance()->setValueForSetting(Value(control->selectedSegmentIndex()), key);
}

void writeSwitch(const Ref<NSObject>& sender, const char* key)
{
    if (auto control = std::dynamic_pointer_cast<UISwitch>(sender))
        KESTSettingsManager::sharedInstance()->setValueForSetting(Value(control->isOn()), key);
}

} // namespace

Ref<KESTSettingsViewController> KESTSettingsViewController::initWithStyle(UITableViewStyle)
{
    auto controller = makeTableController<KESTSettingsViewController>(UITableViewStyleGrouped);
    controller->setTitle(localized("Settings"));
    return controller;
}

void KESTSettingsViewController::viewWillAppear(bool animated)
{
    KESTBaseTableViewController::viewWillAppear(animated);
    UIViewController_BarInsets::insetBelowNavigationBar(self<UIViewController>(), tableView());
}

void KESTSettingsViewController::viewDidLoad()
{
    KESTBaseTableViewController::viewDidLoad();
    auto table = tableView();
    table->registerClassForCellReuseIdentifier<UITableViewCell>("SettingsCell");
    table->registerClassForCellReuseIdentifier<UITableViewCell>("SettingsCellSTD");
    for (const char* name : { "KESTSettingsSwitchCell", "KESTSettingsSegmentedCell", "KESTStepperCell" })
        table->registerNibForCellReuseIdentifier(UINib::nibWithNibNameBundle(name, NSBundle::mainBundle()), name);
}

int32_t KESTSettingsViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section)
{
    return section >= 0 && size_t(section) < rows().size() ? int32_t(rows()[size_t(section)].size()) : 0;
}

std::optional<std::string> KESTSettingsViewController::tableViewTitleForHeaderInSection(
    const Ref<UITableView>&, int32_t section)
{
    if (section < 0 || section > 6)
        return std::nullopt;
    return localized(s_headers[section]);
}

std::optional<CGFloat> KESTSettingsViewController::tableViewHeightForRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    const Row* row = rowAt(indexPath);
    return row ? row->height : 44;
}

Ref<UITableViewCell> KESTSettingsViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    const Row* row = rowAt(indexPath);
    if (!row)
        return tableView->dequeueReusableCellWithIdentifierForIndexPath("SettingsCellSTD", indexPath);
    auto self = this->self<KESTSettingsViewController>();
    // Each control carries only its own row's action, also in a reused cell.
    auto wire = [&](const Ref<UIControl>& control) {
        control->removeTargetActionForControlEvents(nullptr, "", UIControlEventValueChanged);
        control->addTarget(self, row->action, row->actionName, UIControlEventValueChanged);
    };
    int32_t value = currentValue(row->title);
    switch (row->kind) {
    case Kind::Segmented: {
        auto cell = std::dynamic_pointer_cast<KESTSettingsSegmentedCell>(
            tableView->dequeueReusableCellWithIdentifierForIndexPath("KESTSettingsSegmentedCell", indexPath));
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->titleLabel->setText(localized(row->title));
        if (cell->cellSegmentedControl)
            cell->cellSegmentedControl->removeFromSuperview();
        cell->setSegmentedControlWithItemsAndSelected(localizedAll(row->segments), value);
        wire(cell->cellSegmentedControl);
        auto badge = cell->contentView()->viewWithTag(50);
        if (std::string(row->title) == "Map Provider") {
            cell->cellSegmentedControl->setEnabled(false);
            if (!badge) {
                auto image = UIImage::imageNamed("backSoon");
                auto badgeView = UIImageView::initWithImage(image);
                CGRect control = cell->cellSegmentedControl->frame();
                CGSize size = image ? image->size() : CGSizeMake(0, 0);
                badgeView->setFrame(CGRectMake(control.origin.x + control.size.width - size.width + 10,
                    control.origin.y - 10, size.width, size.height));
                badgeView->setTag(50);
                badgeView->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
                cell->contentView()->addSubview(badgeView);
            }
        } else if (badge) {
            badge->removeFromSuperview();
        }
        return cell;
    }
    case Kind::Switch: {
        auto cell = std::dynamic_pointer_cast<KESTSettingsSwitchCell>(
            tableView->dequeueReusableCellWithIdentifierForIndexPath("KESTSettingsSwitchCell", indexPath));
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->titleLabel->setText(localized(row->title));
        cell->descriptionLabel->setText(localized(row->description));
        cell->cellSwitch->setOn(value != 0);
        wire(cell->cellSwitch);
        return cell;
    }
    case Kind::Unit: {
        auto cell = tableView->dequeueReusableCellWithIdentifierForIndexPath("SettingsCell", indexPath);
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        UILabel_DynamicSizing::usePreferredFontForTextStyle(cell->textLabel(), UIFontTextStyleBody);
        cell->textLabel()->setText(localized(row->title));
        auto control = UISegmentedControl::initWithItems(localizedAll(row->segments));
        control->setSelectedSegmentIndex(value);
        wire(control);
        cell->setAccessoryView(control);
        return cell;
    }
    case Kind::Stepper: {
        auto cell = std::dynamic_pointer_cast<KESTStepperCell>(
            tableView->dequeueReusableCellWithIdentifierForIndexPath("KESTStepperCell", indexPath));
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->titleLabel->setText(localized(row->title));
        cell->descriptionLabel->setText(KESTSettingsManager::sharedInstance()->realARRangeString().value_or(""));
        cell->cellStepper->setValue(value);
        wire(cell->cellStepper);
        return cell;
    }
    case Kind::Help:
        break;
    }
    auto cell = tableView->dequeueReusableCellWithIdentifierForIndexPath("SettingsCellSTD", indexPath);
    UILabel_DynamicSizing::usePreferredFontForTextStyle(cell->textLabel(), UIFontTextStyleBody);
    cell->textLabel()->setText(localized(row->title));
    cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
    return cell;
}

void KESTSettingsViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    auto analytics = KESTAnalyticsManager::sharedInstance();
    if (indexPath->section() == 5) {
        switch (indexPath->row()) {
        case 0:
            analytics->logEventWithNameWithCount("Email Support", 1);
            emailSupport();
            break;
        case 1: {
            auto web = KESTWebViewController::initWithNibNameBundleWithURLCloseEnableDelayWithCloseButton(
                "KESTWebViewController", nullptr, NSURL::URLWithString(helpURL()), 0, false);
            analytics->logEventWithNameWithCount("View Help", 1);
            if (auto navigation = navigationController())
                navigation->pushViewControllerAnimated(web, true);
            break;
        }
        case 2:
            KESTAuthManager::sharedInstance()->presentManagerInControllerCompletionFailure(
                self<UIViewController>(), nullptr, nullptr);
            break;
        case 3:
            if (auto navigation = navigationController())
                navigation->pushViewControllerAnimated(KESTLegalViewController::init(), true);
            break;
        default:
            break;
        }
    } else if (indexPath->section() == 6) {
        if (auto navigation = navigationController())
            navigation->pushViewControllerAnimated(KESTSettingsDebugViewController::init(), true);
    }
    (void)tableView;
}

std::string KESTSettingsViewController::helpURL()
{
    // With no preferred language the help page is asked for in English, as the apps list does.
    auto languages = NSLocale::preferredLanguages();
    std::string language = languages.empty() ? std::string("en") : languages.front();
    return KESTServiceEndpoints::productSiteBaseURL()
        + NSString::stringWithFormat("apphelp/faqv7.php?lang=%@", language);
}

void KESTSettingsViewController::emailSupport()
{
    if (!MFMailComposeViewController::canSendMail()) {
        UIAlertView::initWithTitle(localized("Error"), localized("Your device doesn't have a mail account setup"),
            nullptr, {}, localized("OK"), {})
            ->show();
        return;
    }
    auto mail = MFMailComposeViewController::init();
    mail->setMailComposeDelegate(this, self<NSObject>());
    auto bundle = NSBundle::mainBundle();
    mail->setSubject(NSString::stringWithFormat(
        "Volantrix HD In App Support (%@)", bundle->objectForInfoDictionaryKey("CFBundleShortVersionString")));
    mail->setToRecipients({ KESTServiceEndpoints::supportEmail() });
    auto languages = NSLocale::preferredLanguages();
    Value language = languages.empty() ? Value() : Value(languages.front());
    auto token = KESTAlertManager::sharedInstance()->storedDeviceToken();
    auto device = UIDevice::currentDevice();
    std::string body = localized("Please describe your problem or question:\n\n\n\n\n\n\n\n\n\n\n\n")
        + NSString::stringWithFormat("Device: %@\niOS Version:%@\nLocale:%@/%@\nToken:%@", device->model(),
            device->systemVersion(), language, NSLocale::currentLocale()->localeIdentifier(),
            token ? Value(*token) : Value());
    mail->setMessageBodyIsHTML(body, false);
    mail->setModalPresentationStyle(UIModalPresentationFormSheet);
    presentViewControllerAnimatedCompletion(mail, true, nullptr);
}

void KESTSettingsViewController::mailComposeControllerDidFinishWithResultError(
    const Ref<MFMailComposeViewController>& controller, MFMailComposeResult result, const Ref<NSError>&)
{
    switch (result) {
    case MFMailComposeResultCancelled:
        NSLog("Mail cancelled: you cancelled the operation and no email message was queued.");
        break;
    case MFMailComposeResultSaved:
        NSLog("Mail saved: you saved the email message in the drafts folder.");
        break;
    case MFMailComposeResultSent:
        NSLog("Mail send: the email message is queued in the outbox. It is ready to send.");
        break;
    case MFMailComposeResultFailed:
        NSLog("Mail failed: the email message was not saved or queued, possibly due to an error.");
        break;
    default:
        NSLog("Mail not sent.");
        break;
    }
    if (controller)
        controller->dismissViewControllerAnimatedCompletion(true, nullptr);
}

void KESTSettingsViewController::mapProviderSettingChanged(const Ref<NSObject>& sender)
{
    writeSegment(sender, "kMapProvider");
    dismissViewControllerAnimatedCompletion(true, [] {
        auto application = UIApplication::sharedApplication();
        auto delegate = application ? dynamic_cast<KESTAppDelegate*>(application->delegate()) : nullptr;
        auto container = delegate
            ? std::dynamic_pointer_cast<KESTMapContainerViewController>(delegate->mapContainerVC())
            : nullptr;
        if (container) {
            container->teardownVisibleMapController();
            container->setVisibleMapController(KESTAppleMapViewController::initWithNibNameBundle({}, nullptr));
        }
        NSNotificationCenter::defaultCenter()->postNotificationName(
            "com.kestravon.volantrix.livedata.updated", nullptr);
    });
}

void KESTSettingsViewController::mapTypeSettingChanged(const Ref<NSObject>& s)
{
    writeSegment(s, "kMapType");
}
void KESTSettingsViewController::screenSleepSettingChanged(const Ref<NSObject>& s)
{
    writeSwitch(s, "kScreenSleep");
}
void KESTSettingsViewController::showLabelsSettingChanged(const Ref<NSObject>& s)
{
    writeSegment(s, "kShowPlaneLabels");
}
void KESTSettingsViewController::labelDataSettingChanged(const Ref<NSObject>& s)
{
    writeSegment(s, "kPlaneLabelContent");
}
void KESTSettingsViewController::movePlanesSettingChanged(const Ref<NSObject>& s)
{
    writeSwitch(s, "kMovePlanes");
}
void KESTSettingsViewController::showFAASettingChanged(const Ref<NSObject>& s)
{
    writeSwitch(s, "kFAAData");
}
void KESTSettingsViewController::showFlightPathsSettingChanged(const Ref<NSObject>& s)
{
    writeSwitch(s, "kShowFlightPaths");
}
void KESTSettingsViewController::followPlaneSettingChanged(const Ref<NSObject>& s)
{
    writeSwitch(s, "kFollowPlane");
}
void KESTSettingsViewController::showAirportsSettingChanged(const Ref<NSObject>& s)
{
    writeSwitch(s, "kShowAirports");
}
void KESTSettingsViewController::planeColourSettingChanged(const Ref<NSObject>& s)
{
    writeSegment(s, "kPlaneColour");
}
void KESTSettingsViewController::speedUnitSettingChanged(const Ref<NSObject>& s)
{
    writeSegment(s, "kSpeedUnit");
}
void KESTSettingsViewController::altitudeUnitSettingChanged(const Ref<NSObject>& s)
{
    writeSegment(s, "kAltitudeUnit");
}
void KESTSettingsViewController::distanceUnitSettingChanged(const Ref<NSObject>& s)
{
    writeSegment(s, "kDistanceUnit");
}
void KESTSettingsViewController::icaoTypeSettingChanged(const Ref<NSObject>& s)
{
    writeSegment(s, "kICAOType");
}

void KESTSettingsViewController::arRangeSettingChanged(const Ref<NSObject>& sender)
{
    if (auto stepper = std::dynamic_pointer_cast<UIStepper>(sender))
        KESTSettingsManager::sharedInstance()->setValueForSetting(Value(int32_t(stepper->value())), "kARRange");
    tableView()->reloadSectionsWithRowAnimation({ 4 }, UITableViewRowAnimationFade);
}
