#include "app/view-controllers/alerts/KESTAlertCreateViewController.h"

#include "app/core/KESTAlert.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/view-controllers/alerts/KESTAlertActivity.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/widgets/KESTTokenButton.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "mapkit/MKMapView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UISegmentedControl.h"

VX_REGISTER_CREATABLE_CLASS(KESTAlertCreateViewController);

namespace {

constexpr int32_t kTypes[] = { 3, 4, 5, 0, 2 };
const char* const kTitles[] = { "Squawk", "Type", "Airline", "Reg", "Hex" };
const char* const kPlaceholders[] = { "Enter part or full squawk", "Enter part or full aircraft type",
    "Enter part or full airline code", "Enter full aircraft registration", "Enter full aircraft hex code" };
const char* const kAlertKeys[]
    = { "alertName", "alertValue", "alertType", "alertMaxLat", "alertMinLat", "alertMaxLon", "alertMinLon" };

} // namespace

Ref<KESTAlertCreateViewController> KESTAlertCreateViewController::init()
{
    auto controller = makeController<KESTAlertCreateViewController>("KESTAlertCreateViewController", nullptr);
    controller->setTitle(NSLocalizedString("Add Alert"));
    controller->m_autocompleteBar = KESTAutocompleteBarView::initWithFrame(CGRectMake(0, 0, 0, 55));
    controller->m_autocompleteBar->setDelegate(controller.get(), controller);
    return controller;
}

Ref<KESTAlertCreateViewController> KESTAlertCreateViewController::initWithPlaceHolderTextAndIndex(
    const std::string& text, int32_t index)
{
    auto controller = init();
    controller->m_passedString = text;
    controller->m_passedInt = index;
    return controller;
}

int32_t KESTAlertCreateViewController::sectionToNumberTranslation(int32_t section)
{
    return section >= 0 && section < 5 ? kTypes[section] : 0;
}

int32_t KESTAlertCreateViewController::numberToSectionTranslation(int32_t number)
{
    constexpr int32_t kSections[] = { 3, 0, 4, 0, 1, 2 };
    return number >= 0 && number <= 5 ? kSections[number] : 0;
}

void KESTAlertCreateViewController::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    m_dismissAfterSave = false;
    auto field = alertTextField();
    if (field) {
        field->setPlaceholder(NSLocalizedString(kPlaceholders[0]));
        field->setInputAccessoryView(m_autocompleteBar);
        field->setDelegate(this, weak_from_this());
    }
    auto self = this->self<KESTAlertCreateViewController>();
    if (auto map = mapSegmentedControl()) {
        map->setTitleForSegmentAtIndex(NSLocalizedString("Anywhere"), 0);
        map->setTitleForSegmentAtIndex(NSLocalizedString("Location"), 1);
        map->addTarget(
            self, &KESTAlertCreateViewController::mapSegmentChange, "mapSegmentChange:", UIControlEventValueChanged);
    }
    if (auto types = alertTypeSegmentedControl()) {
        for (int32_t i = 0; i < 5; ++i)
            types->setTitleForSegmentAtIndex(NSLocalizedString(kTitles[i]), i);
        types->addTarget(self, &KESTAlertCreateViewController::alertTypeSegmentChange,
            "alertTypeSegmentChange:", UIControlEventValueChanged);
    }
    Weak<KESTAlertCreateViewController> weak = self;
    navigationItem()->setRightBarButtonItem(UIBarButtonItem::initWithTitleStyleTargetAction(
        NSLocalizedString("Save"), UIBarButtonItemStyleDone, self, [weak](const Ref<UIBarButtonItem>& sender) {
            if (auto self = weak.lock())
                self->donePress(sender);
        }));
    auto map = mapView();
    if (map) {
        auto facade = KESTMapController::sharedInstance();
        map->setVisibleMapRect(facade->mapView() ? facade->visibleMapRectWithPadding(0) : MKMapRectMake(0, 0, 0, 0));
    }
    if (m_existingAlert) {
        if (auto types = alertTypeSegmentedControl())
            types->setSelectedSegmentIndex(numberToSectionTranslation(m_existingAlert->alertType().intValue()));
        Value value = m_existingAlert->alertValue();
        if (field)
            field->setText(value.isString() ? value.stringValue() : std::string());
        if (isLocationSpecific(m_existingAlert)) {
            if (map)
                map->setHidden(false);
            if (auto segment = mapSegmentedControl())
                segment->setSelectedSegmentIndex(1);
            setMapBoundsWithAlert(m_existingAlert);
        } else if (field) {
            field->becomeFirstResponder();
        }
    }
    setupKeyboard();
}

void KESTAlertCreateViewController::viewWillAppear(bool animated)
{
    KESTBaseViewController::viewWillAppear(animated);
    auto navigation = navigationController();
    if (navigation && navigation->viewControllers().size() < 2) {
        Weak<KESTAlertCreateViewController> weak = self<KESTAlertCreateViewController>();
        navigationItem()->setLeftBarButtonItem(
            UIBarButtonItem::initWithTitleStyleTargetAction(NSLocalizedString("Close"), UIBarButtonItemStylePlain,
                self<NSObject>(), [weak](const Ref<UIBarButtonItem>&) {
                    if (auto self = weak.lock())
                        self->close();
                }));
        m_dismissAfterSave = true;
        if (auto field = alertTextField())
            field->setText(m_passedString);
        if (auto types = alertTypeSegmentedControl())
            types->setSelectedSegmentIndex(m_passedInt);
    }
}

void KESTAlertCreateViewController::viewWillDisappear(bool animated)
{
    KESTBaseViewController::viewWillDisappear(animated);
    if (m_undoUnsaved) {
        auto undo = std::move(m_undoUnsaved);
        m_undoUnsaved = nullptr;
        undo();
    }
}

void KESTAlertCreateViewController::setupKeyboard()
{
    auto field = alertTextField();
    if (!field)
        return;
    field->setAutocapitalizationType(UITextAutocapitalizationTypeAllCharacters);
    auto types = alertTypeSegmentedControl();
    bool squawk = types && types->selectedSegmentIndex() == 0;
    field->setKeyboardType(squawk ? UIKeyboardTypeNumberPad : UIKeyboardTypeDefault);
}

void KESTAlertCreateViewController::alertTypeSegmentChange(const Ref<NSObject>&)
{
    auto types = alertTypeSegmentedControl();
    auto field = alertTextField();
    if (types && field) {
        int32_t index = types->selectedSegmentIndex();
        if (index >= 0 && index < 5)
            field->setPlaceholder(NSLocalizedString(kPlaceholders[index]));
    }
    setupKeyboard();
}

void KESTAlertCreateViewController::mapSegmentChange(const Ref<NSObject>&)
{
    auto segment = mapSegmentedControl();
    auto map = mapView();
    if (!segment || !map)
        return;
    bool location = segment->selectedSegmentIndex() == 1;
    map->setHidden(!location);
    map->setShowsUserLocation(location);
}

bool KESTAlertCreateViewController::textFieldShouldChangeCharactersInRangeReplacementString(
    const Ref<UITextField>& field, NSRange range, const std::string& replacement)
{
    std::string text = NSString::stringByReplacingCharactersInRange(field->text(), range, replacement);
    if (text.empty() && range.location == 0 && range.length == 0)
        return false;
    auto types = alertTypeSegmentedControl();
    searchForDataWithTextAndType(text, sectionToNumberTranslation(types ? types->selectedSegmentIndex() : -1));
    return true;
}

bool KESTAlertCreateViewController::textFieldShouldReturn(const Ref<UITextField>& field)
{
    field->resignFirstResponder();
    return true;
}

void KESTAlertCreateViewController::autocompleteBarDidSelectSuggestion(
    const Ref<KESTAutocompleteBarView>&, const Ref<KESTTokenButton>& suggestion)
{
    auto field = alertTextField();
    if (!field)
        return;
    Value value = suggestion->representedObject();
    field->setText(value.isString() ? value.stringValue() : value.description());
    field->resignFirstResponder();
}

void KESTAlertCreateViewController::searchForDataWithTextAndType(const std::string& text, int32_t type)
{
    // "&" and "=" stay as they are: the legacy escaping only replaces what a URL cannot hold.
    m_autocompleteBar->showSuggestionsForTextFromURL(text,
        NSString::stringWithFormat("%@APPAPIv2/alertSearch.php?searchText=%@&searchType=%i",
            KESTLiveDataManager::serviceBaseURL(), NSString::stringByAddingPercentEscapesUsingEncoding(text), type));
}

void KESTAlertCreateViewController::donePress(const Ref<NSObject>&)
{
    auto alert
        = UIAlertView::initWithTitle(NSLocalizedString("Save"), NSLocalizedString("Please set a name for this alert"),
            this, weak_from_this(), NSLocalizedString("Cancel"), { NSLocalizedString("OK") });
    alert->setAlertViewStyle(UIAlertViewStylePlainTextInput);
    if (auto name = alert->textFieldAtIndex(0)) {
        name->setAutocapitalizationType(UITextAutocapitalizationTypeSentences);
        auto field = alertTextField();
        Value existing = m_existingAlert ? m_existingAlert->alertName() : Value();
        name->setText(m_existingAlert ? (existing.isString() ? existing.stringValue() : std::string())
                                      : (field ? field->text() : std::string()));
    }
    alert->show();
}

void KESTAlertCreateViewController::alertViewClickedButtonAtIndex(const Ref<UIAlertView>& alert, int32_t index)
{
    if (index != 1 || !m_managedObjectContext)
        return;
    KESTMapBounds bounds = currentMapBounds();
    auto target = m_existingAlert;
    std::function<void()> undo;
    if (target) {
        std::vector<std::pair<std::string, Value>> before;
        for (const char* key : kAlertKeys)
            before.emplace_back(key, target->valueForKey(key));
        undo = [target, before] {
            for (const auto& [key, value] : before)
                target->setValueForKey(value, key);
        };
    } else {
        target = KESTAlert::insertInManagedObjectContext(m_managedObjectContext);
        if (!target)
            return;
        undo = [target, context = m_managedObjectContext] { context->deleteObject(target); };
    }
    auto nameField = alert->textFieldAtIndex(0);
    auto field = alertTextField();
    auto types = alertTypeSegmentedControl();
    target->setValueForKey(Value(nameField ? nameField->text() : std::string()), "alertName");
    target->setValueForKey(Value(field ? field->text() : std::string()), "alertValue");
    target->setValueForKey(Value(sectionToNumberTranslation(types ? types->selectedSegmentIndex() : -1)), "alertType");
    target->setValueForKey(Value(bounds.north), "alertMaxLat");
    target->setValueForKey(Value(bounds.south), "alertMinLat");
    target->setValueForKey(Value(bounds.east), "alertMaxLon");
    target->setValueForKey(Value(bounds.west), "alertMinLon");
    Ref<NSError> error;
    if (!m_managedObjectContext->save(&error)) {
        NSLog("Whoops, couldn't save: %@", error ? error->localizedDescription() : std::string());
        m_undoUnsaved = std::move(undo);
    }
    if (m_dismissAfterSave) {
        close();
    } else if (auto navigation = navigationController()) {
        navigation->popViewControllerAnimated(true);
    }
}

void KESTAlertCreateViewController::close()
{
    if (m_activity)
        m_activity->activityDidFinish(true);
    dismissViewControllerAnimatedCompletion(true, nullptr);
}

KESTMapBounds KESTAlertCreateViewController::currentMapBounds() const
{
    auto segment = mapSegmentedControl();
    auto map = mapView();
    if (!segment || segment->selectedSegmentIndex() != 1 || !map)
        return { 180, -180, 180, -180 };
    MKCoordinateRegion region = map->region();
    return { region.center.latitude + region.span.latitudeDelta / 2,
        region.center.latitude - region.span.latitudeDelta / 2,
        region.center.longitude + region.span.longitudeDelta / 2,
        region.center.longitude - region.span.longitudeDelta / 2 };
}

bool KESTAlertCreateViewController::isLocationSpecific(const Ref<KESTAlert>& alert)
{
    if (!alert)
        return false;
    return !(alert->alertMaxLat().doubleValue() == 180 && alert->alertMinLat().doubleValue() == -180
        && alert->alertMaxLon().doubleValue() == 180 && alert->alertMinLon().doubleValue() == -180);
}

void KESTAlertCreateViewController::setMapBoundsWithAlert(const Ref<KESTAlert>& alert)
{
    auto map = mapView();
    if (!map || !alert)
        return;
    double maxLat = alert->alertMaxLat().doubleValue(), minLat = alert->alertMinLat().doubleValue();
    double maxLon = alert->alertMaxLon().doubleValue(), minLon = alert->alertMinLon().doubleValue();
    MKCoordinateRegion region = MKCoordinateRegionMake(
        CLLocationCoordinate2DMake(maxLat - (maxLat - minLat) / 2, maxLon - (maxLon - minLon) / 2),
        MKCoordinateSpanMake(0.999 * (maxLat - minLat), 0.999 * (maxLon - minLon)));
    map->setRegionAnimated(region, true);
    if (map->region().span.latitudeDelta != region.span.latitudeDelta)
        map->setRegionAnimated(region, true);
}
