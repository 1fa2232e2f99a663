#include "app/demo/KESTDemoFilterScreens.h"

#include "app/core/KESTAlert.h"
#include "app/core/KESTAlertManager.h"
#include "app/core/KESTFilter.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTFilterDetail.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/alerts/KESTAlertViewController.h"
#include "app/view-controllers/filters/KESTFilterCreateViewController.h"
#include "app/view-controllers/filters/KESTFilterDataCell.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewController.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSManagedObjectContext.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UITextField.h"

#include <map>

namespace {

// The two most common airline prefixes among the callsigns of the airborne planes on the map.
std::vector<std::string> busiestAirlines()
{
    std::map<std::string, int> counts;
    for (const auto& annotation : KESTMapController::sharedInstance()->customAnnotations()) {
        auto plane = std::dynamic_pointer_cast<KESTPlane>(annotation);
        // Airborne planes only: the filters' default ranges leave out planes on the ground.
        if (!plane || plane->altitude() <= 0 || plane->speed() <= 0 || plane->speed() >= 600)
            continue;
        std::string callsign = plane->callsign();
        auto letter = [&](size_t i) { return std::isalpha(static_cast<unsigned char>(callsign[i])) != 0; };
        // Airline callsigns: three letters, then the flight's digits.
        if (callsign.size() >= 4 && letter(0) && letter(1) && letter(2)
            && std::isdigit(static_cast<unsigned char>(callsign[3])))
            ++counts[callsign.substr(0, 3)];
    }
    std::vector<std::pair<int, std::string>> ranked;
    for (const auto& [code, count] : counts)
        ranked.emplace_back(count, code);
    std::sort(ranked.rbegin(), ranked.rend());
    std::vector<std::string> codes;
    for (size_t i = 0; i < ranked.size() && i < 2; ++i)
        codes.push_back(ranked[i].second);
    while (codes.size() < 2)
        codes.push_back(codes.empty() ? "BAW" : "EZY");
    return codes;
}

void storeFilter(
    const Ref<NSManagedObjectContext>& context, const std::string& name, const std::string& airline, bool active)
{
    auto filter = std::dynamic_pointer_cast<KESTFilter>(
        NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext("KESTFilter", context));
    if (!filter)
        return;
    filter->setFilterName(Value(name));
    filter->setFilterActive(Value(active));
    auto add = [&](int32_t type, const std::string& detail, const std::string& title) {
        auto condition = std::dynamic_pointer_cast<KESTFilterDetail>(
            NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext("KESTFilterDetail", context));
        condition->setFilterDetailType(Value(type));
        condition->setFilterDetail(Value(detail));
        condition->setFilterTitle(Value(title));
        condition->setFilterLowerLimit(Value(0.0f));
        condition->setFilterUpperLimit(Value(1.0f));
        filter->addChildFilterObject(condition);
    };
    add(0, airline, airline);
    add(4, "ALTITUDEDATA", "ALTITUDETITLE");
    add(5, "SPEEDDATA", "SPEEDTITLE");
}

void storeAlert(
    const Ref<NSManagedObjectContext>& context, const std::string& name, const std::string& value, int32_t type)
{
    auto alert = KESTAlert::insertInManagedObjectContext(context);
    if (!alert)
        return;
    alert->setValueForKey(Value(name), "alertName");
    alert->setValueForKey(Value(value), "alertValue");
    alert->setValueForKey(Value(type), "alertType");
    alert->setValueForKey(Value(180.0), "alertMaxLat");
    alert->setValueForKey(Value(-180.0), "alertMinLat");
    alert->setValueForKey(Value(180.0), "alertMaxLon");
    alert->setValueForKey(Value(-180.0), "alertMinLon");
}

} // namespace

bool writeFilterAndAlertScreens(const Ref<KESTMapViewController>& screen, const std::function<void(double)>& runFor,
    const std::function<bool(const std::string&)>& writePNG)
{
    auto context = screen ? screen->managedObjectContext() : nullptr;
    if (!context)
        return false;
    bool ok = true;

    // Two saved filters, the first one active: the map follows it.
    auto airlines = busiestAirlines();
    storeFilter(context, airlines[0] + " flights", airlines[0], true);
    storeFilter(context, airlines[1] + " flights", airlines[1], false);
    Ref<NSError> error;
    context->save(&error);
    KESTFilterDataManager::sharedInstance()->recacheFilters();
    if (auto item = screen->filterBarButtonItem())
        screen->showFilters(item->customView());
    runFor(3);
    ok = writePNG("filters.png") && ok;

    // The editor for a new filter with an airline being typed and the service's suggestions.
    auto popover = screen->poc();
    auto navigation
        = popover ? std::dynamic_pointer_cast<UINavigationController>(popover->contentViewController()) : nullptr;
    if (navigation) {
        auto editor = KESTFilterCreateViewController::init();
        editor->setManagedObjectContext(context);
        navigation->pushViewControllerAnimated(editor, false);
        runFor(1);
        auto table = editor->tableView();
        editor->tableViewAccessoryButtonTappedForRowWithIndexPath(table, NSIndexPath::indexPathForRowInSection(0, 0));
        auto cell = std::dynamic_pointer_cast<KESTFilterDataCell>(
            table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(1, 0)));
        // The new row's field has the keyboard, with the suggestion bar on top of its keys.
        if (cell && cell->textInput())
            cell->textInput()->insertText(airlines[0].substr(0, 2));
        runFor(2);
        ok = writePNG("filter-editor.png") && ok;
        if (cell && cell->textInput())
            cell->textInput()->resignFirstResponder();
        runFor(1);
        navigation->popViewControllerAnimated(false);
        runFor(1);
    }
    if (popover)
        popover->dismissPopoverAnimated(false);
    runFor(1);

    // Alerts of two types, synchronised with the service when the list opens.
    auto alerts = KESTAlertManager::sharedInstance();
    alerts->registerDeviceWithServer(Value::data({ 0x5e, 0xed, 0x0a, 0x1e, 0x47, 0x00 }));
    storeAlert(context, "Emergencies", "7700", 3);
    storeAlert(context, "Radio failure", "7600", 3);
    storeAlert(context, airlines[0] + " anywhere", airlines[0], 5);
    context->save(&error);
    auto list = KESTAlertViewController::init();
    list->setManagedObjectContext(context);
    auto alertPopover
        = UIPopoverController::initWithContentViewController(UINavigationController::initWithRootViewController(list));
    alertPopover->setPopoverContentSize(CGSizeMake(320, 480));
    CGRect bounds = screen->view()->bounds();
    alertPopover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        CGRectMake(bounds.size.width - 60, bounds.size.height - 44, 44, 44), screen->view(), UIPopoverArrowDirectionAny,
        false);
    runFor(3);
    ok = writePNG("alerts.png") && ok;
    alertPopover->dismissPopoverAnimated(false);
    return ok;
}
