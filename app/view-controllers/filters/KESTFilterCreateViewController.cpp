#include "app/view-controllers/filters/KESTFilterCreateViewController.h"

#include "app/core/KESTFilter.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTFilterDetail.h"
#include "app/core/KESTFlightDataManager.h"
#include "app/view-controllers/filters/KESTFilterHeadingCell.h"
#include "app/widgets/KESTBarInsets.h"
#include "app/widgets/KESTRangeSlider.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UINib.h"
#include "uikit/UISegmentedControl.h"
#include "uikit/UITextField.h"

VX_REGISTER_CLASS(KESTFilterCreateViewController);

namespace {

constexpr int32_t kSaveTag = 100;
constexpr int32_t kRenameTag = 101;

Value conditionValues(const Ref<KESTFilterDetail>& detail)
{
    Value values = Value::mutableDictionary();
    for (const auto& key : KESTFilterDetail::conditionKeys())
        values.setObjectForKey(detail->valueForKey(key), Value(key));
    return values;
}

void copyConditionValues(const Ref<KESTFilterDetail>& from, const Ref<KESTFilterDetail>& to)
{
    for (const auto& key : KESTFilterDetail::conditionKeys())
        to->setValueForKey(from->valueForKey(key), key);
}

} // namespace

Ref<KESTFilterCreateViewController> KESTFilterCreateViewController::initWithNibNameBundle(
    const std::string& nibName, const Ref<NSBundle>& bundle)
{
    auto controller = makeController<KESTFilterCreateViewController>(
        nibName.empty() ? std::string("KESTFilterCreateViewController") : nibName, bundle);
    for (const char* heading : { "Airline", "Aircraft", "Airport", "Squawk", "Altitude", "Speed" })
        controller->m_headings.push_back(NSLocalizedString(heading));
    // The same title for new and stored filters.
    controller->setTitle(NSLocalizedString("Create"));
    return controller;
}

void KESTFilterCreateViewController::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    if (auto table = tableView()) {
        table->setDataSource(this, weak_from_this());
        table->setTableDelegate(this, weak_from_this());
        table->registerClassForCellReuseIdentifier<KESTFilterHeadingCell>("KESTFilterHeadingCell");
        for (const char* name : { "KESTFilterDataCell", "KESTFilterAirportCell", "KESTFilterRangeSliderCell" })
            table->registerNibForCellReuseIdentifier(UINib::nibWithNibNameBundle(name, nullptr), name);
        table->setTableFooterView(UIView::initWithFrame(CGRectZero));
    }
    Weak<KESTFilterCreateViewController> weak = self<KESTFilterCreateViewController>();
    navigationItem()->setRightBarButtonItem(
        UIBarButtonItem::initWithTitleStyleTargetAction(NSLocalizedString(m_parentFilter ? "Save" : "Create"),
            UIBarButtonItemStyleDone, self<NSObject>(), [weak](const Ref<UIBarButtonItem>&) {
                if (auto self = weak.lock())
                    self->donePress();
            }));
    if (!m_parentFilter) {
        if (m_renameButton)
            m_renameButton->setEnabled(false);
        if (m_shareButton)
            m_shareButton->setEnabled(false);
    }
    if (m_parentFilter) {
        for (const auto& detail : m_parentFilter->childFilter()) {
            Value type = detail->filterDetailType();
            if (type.isNil())
                continue;
            m_sections[type.intValue()].push_back(detail);
        }
    }
    auto ensureRange = [&](int32_t type, const char* title, const char* data) {
        if (m_sections.count(type))
            return;
        auto draft = filterDetailTemplateObject();
        if (!draft)
            return;
        draft->setFilterDetailType(Value(type));
        draft->setFilterLowerLimit(Value(0.0f));
        draft->setFilterUpperLimit(Value(1.0f));
        draft->setFilterTitle(Value(title));
        draft->setFilterDetail(Value(data));
        m_sections[type].push_back(draft);
    };
    ensureRange(4, "ALTITUDETITLE", "ALTITUDEDATA");
    ensureRange(5, "SPEEDTITLE", "SPEEDDATA");
    rememberStoredState();
    updateLabel();
}

void KESTFilterCreateViewController::viewWillAppear(bool animated)
{
    KESTBaseViewController::viewWillAppear(animated);
    if (auto table = tableView())
        table->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(246 / 255.0f, 245 / 255.0f, 241 / 255.0f, 1));
}

void KESTFilterCreateViewController::viewWillDisappear(bool animated)
{
    KESTBaseViewController::viewWillDisappear(animated);
    // After a save nothing is pending and this changes nothing.
    revertUnsavedEdits();
}

void KESTFilterCreateViewController::rememberStoredState()
{
    m_storedState.clear();
    for (const auto& [type, details] : m_sections) {
        for (const auto& detail : details) {
            if (detail->managedObjectContext())
                m_storedState.emplace_back(detail, conditionValues(detail));
        }
    }
    for (const auto& [detail, filter] : m_pendingDeletions)
        m_storedState.emplace_back(detail, conditionValues(detail));
}

void KESTFilterCreateViewController::applyPendingDeletions()
{
    if (m_managedObjectContext) {
        for (const auto& [detail, filter] : m_pendingDeletions)
            m_managedObjectContext->deleteObject(detail);
    }
    m_pendingDeletions.clear();
}

void KESTFilterCreateViewController::revertUnsavedEdits()
{
    bool changed = !m_pendingDeletions.empty();
    for (const auto& [detail, filter] : m_pendingDeletions) {
        if (!detail->isDeleted() && filter)
            detail->setParentFilter(filter);
    }
    for (const auto& [detail, values] : m_storedState) {
        if (detail->isDeleted())
            continue;
        if (conditionValues(detail) == values)
            continue;
        for (const auto& key : KESTFilterDetail::conditionKeys())
            detail->setValueForKey(values[key], key);
        changed = true;
    }
    m_pendingDeletions.clear();
    if (changed)
        KESTFilterDataManager::sharedInstance()->recacheFilters();
}

bool KESTFilterCreateViewController::saveMainContext()
{
    if (!m_managedObjectContext)
        return false;
    Ref<NSError> error;
    return m_managedObjectContext->save(&error);
}

Ref<KESTFilterDetail> KESTFilterCreateViewController::filterDetailTemplateObject() const
{
    if (!m_managedObjectContext)
        return nullptr;
    auto entity = NSEntityDescription::entityForNameInManagedObjectContext("KESTFilterDetail", m_managedObjectContext);
    if (!entity)
        return nullptr;
    return std::dynamic_pointer_cast<KESTFilterDetail>(
        NSManagedObject::initWithEntityInsertIntoManagedObjectContext(entity, nullptr));
}

Ref<KESTFilter> KESTFilterCreateViewController::filterTemplateObject() const
{
    if (!m_managedObjectContext)
        return nullptr;
    auto entity = NSEntityDescription::entityForNameInManagedObjectContext("KESTFilter", m_managedObjectContext);
    if (!entity)
        return nullptr;
    return std::dynamic_pointer_cast<KESTFilter>(
        NSManagedObject::initWithEntityInsertIntoManagedObjectContext(entity, nullptr));
}

Ref<KESTFilterDetail> KESTFilterCreateViewController::mockFilterDetailObjectWithDraftAndParent(
    const Ref<KESTFilterDetail>& draft, const Ref<KESTFilter>& parent) const
{
    auto copy = filterDetailTemplateObject();
    if (!copy || !draft)
        return nullptr;
    copyConditionValues(draft, copy);
    if (parent)
        parent->addChildFilterObject(copy);
    return copy;
}

void KESTFilterCreateViewController::updateLabel()
{
    auto filter = filterTemplateObject();
    if (!filter)
        return;
    filter->setFilterActive(Value(true));
    filter->setFilterName(Value("MOCK"));
    for (const auto& [type, details] : m_sections) {
        for (const auto& detail : details)
            mockFilterDetailObjectWithDraftAndParent(detail, filter);
    }
    Weak<KESTFilterCreateViewController> weak = self<KESTFilterCreateViewController>();
    // Counts run side by side in the background and may come back in any order: only the one
    // for the latest edit is shown.
    uint64_t count = ++m_countsAsked;
    KESTFilterDataManager::sharedInstance()->calculateNumberOfPlanesWithCallback(
        filter, [weak, count](int32_t matches) {
            auto self = weak.lock();
            if (!self || self->m_countsAsked != count)
                return;
            if (auto label = self->matchesLabel())
                label->setText(NSString::stringWithFormat(NSLocalizedString("%i matches"), matches));
        });
}

void KESTFilterCreateViewController::updateUI()
{
    updateLabel();
}

void KESTFilterCreateViewController::keyboardWasHidden(const Ref<NSNotification>&)
{
    updateLabel();
}

Ref<UIButton> KESTFilterCreateViewController::makeDetailDisclosureButtonWithDelete(bool withDelete)
{
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    auto image = UIImage::imageNamed(withDelete ? "deleteButton" : "plusButton");
    CGSize size = image ? image->size() : CGSizeMake(24, 24);
    button->setFrame(CGRectMake(0, 0, size.width, size.height));
    button->setBackgroundImageForState(image, UIControlStateNormal);
    button->setBackgroundColor(UIColor::clearColor());
    button->setTag(withDelete ? 1 : 0);
    button->addTarget(self<KESTFilterCreateViewController>(), &KESTFilterCreateViewController::accessoryButtonTapped,
        "accessoryButtonTapped:withEvent:", UIControlEventTouchUpInside);
    return button;
}

void KESTFilterCreateViewController::accessoryButtonTapped(const Ref<NSObject>& sender)
{
    auto button = std::dynamic_pointer_cast<UIView>(sender);
    auto table = tableView();
    if (!button || !table)
        return;
    CGRect bounds = button->bounds();
    auto indexPath = table->indexPathForRowAtPoint(
        button->convertPointToView(CGPointMake(bounds.size.width / 2, bounds.size.height / 2), table));
    if (indexPath)
        tableViewAccessoryButtonTappedForRowWithIndexPath(table, indexPath);
}

int32_t KESTFilterCreateViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section)
{
    if (section >= 4)
        return 1;
    auto found = m_sections.find(section);
    return 1 + (found == m_sections.end() ? 0 : static_cast<int32_t>(found->second.size()));
}

std::optional<CGFloat> KESTFilterCreateViewController::tableViewHeightForRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    if (indexPath->section() >= 4 || (indexPath->section() == 2 && indexPath->row() > 0))
        return 88;
    return 44;
}

Ref<UITableViewCell> KESTFilterCreateViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    int32_t section = indexPath->section();
    int32_t row = indexPath->row();
    const std::string& heading = m_headings[std::clamp(section, 0, 5)];
    if (section >= 4) {
        auto cell = std::dynamic_pointer_cast<KESTFilterRangeSliderCell>(
            tableView->dequeueReusableCellWithIdentifierForIndexPath("KESTFilterRangeSliderCell", indexPath));
        if (!cell)
            return UITableViewCell::initWithStyleReuseIdentifier(
                UITableViewCellStyleDefault, "KESTFilterRangeSliderCell");
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        if (auto title = cell->cellTitle())
            title->setText(heading);
        auto units = KESTFlightDataManager::sharedInstance();
        if (section == 4)
            cell->setCellRangesWithMinAndMaxAndUnit(
                0, float(units->convertedAltitudeWithFeet(60000)), units->formattedAltitudeUnit());
        else
            cell->setCellRangesWithMinAndMaxAndUnit(
                0, float(units->convertedSpeedWithKnots(600)), units->formattedSpeedUnit());
        auto& details = m_sections[section];
        if (!cell->attachedFilter() && !details.empty()) {
            auto detail = details[0];
            cell->setAttachedFilter(detail);
            cell->slider()->setMin(detail->filterLowerLimit().floatValue());
            cell->slider()->setMax(detail->filterUpperLimit().floatValue());
            cell->setDelegate(this, weak_from_this());
            cell->updateCellLabel();
        }
        return cell;
    }
    if (row == 0) {
        auto cell = tableView->dequeueReusableCellWithIdentifierForIndexPath("KESTFilterHeadingCell", indexPath);
        if (!cell)
            cell = KESTFilterHeadingCell::initWithStyleReuseIdentifier(
                UITableViewCellStyleDefault, "KESTFilterHeadingCell");
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->textLabel()->setText(heading);
        cell->setAccessoryView(makeDetailDisclosureButtonWithDelete(false));
        return cell;
    }
    auto& details = m_sections[section];
    if (row - 1 >= static_cast<int32_t>(details.size()))
        return UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "");
    auto detail = details[row - 1];
    const char* identifier = section == 2 ? "KESTFilterAirportCell" : "KESTFilterDataCell";
    auto cell = std::dynamic_pointer_cast<KESTFilterDataCell>(
        tableView->dequeueReusableCellWithIdentifierForIndexPath(identifier, indexPath));
    if (!cell)
        return UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, identifier);
    cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
    cell->setAttachedFilter(detail);
    if (auto field = cell->textInput()) {
        Value title = detail->filterTitle();
        field->setText(title.isString() ? title.stringValue() : std::string());
        field->setKeyboardType(section == 3 ? UIKeyboardTypeNumberPad : UIKeyboardTypeDefault);
    }
    if (auto airport = std::dynamic_pointer_cast<KESTFilterAirportCell>(cell)) {
        if (auto segment = airport->airportSegment())
            segment->setSelectedSegmentIndex(detail->filterAirportType().intValue());
        airport->setDelegate(this, weak_from_this());
    }
    cell->setAccessoryView(makeDetailDisclosureButtonWithDelete(true));
    return cell;
}

void KESTFilterCreateViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    if (indexPath->section() < 4 && indexPath->row() == 0)
        tableViewAccessoryButtonTappedForRowWithIndexPath(tableView, indexPath);
}

void KESTFilterCreateViewController::tableViewAccessoryButtonTappedForRowWithIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    int32_t section = indexPath->section();
    if (section >= 4)
        return;
    auto& details = m_sections[section];
    int32_t count = static_cast<int32_t>(details.size());
    if (indexPath->row() == 0) {
        auto draft = filterDetailTemplateObject();
        if (!draft)
            return;
        draft->setFilterDetailType(Value(section));
        details.push_back(draft);
        auto newRow = NSIndexPath::indexPathForRowInSection(count + 1, section);
        tableView->insertRowsAtIndexPathsWithRowAnimation({ newRow }, UITableViewRowAnimationAutomatic);
        if (auto cell = std::dynamic_pointer_cast<KESTFilterDataCell>(tableView->cellForRowAtIndexPath(newRow))) {
            cell->setAttachedFilter(draft);
            if (auto field = cell->textInput())
                field->becomeFirstResponder();
        }
        tableView->scrollToRowAtIndexPathAtScrollPositionAnimated(newRow, UITableViewScrollPositionMiddle, true);
    } else {
        int32_t index = indexPath->row() - 1;
        if (index >= count)
            return;
        if (auto cell = std::dynamic_pointer_cast<KESTFilterDataCell>(tableView->cellForRowAtIndexPath(indexPath))) {
            if (auto field = cell->textInput())
                field->resignFirstResponder();
        }
        auto detail = details[index];
        details.erase(details.begin() + index);
        deleteWithObject(detail);
        tableView->beginUpdates();
        tableView->deleteRowsAtIndexPathsWithRowAnimation({ indexPath }, UITableViewRowAnimationAutomatic);
        tableView->endUpdates();
    }
    updateLabel();
}

void KESTFilterCreateViewController::deleteWithObject(const Ref<KESTFilterDetail>& detail)
{
    // A draft simply goes. A stored condition is detached from its filter at once, so the map
    // stops applying it; it leaves the store when the filter is saved (or renamed), and leaving
    // the editor unsaved attaches it again.
    if (detail && detail->managedObjectContext() && detail->managedObjectContext() == m_managedObjectContext) {
        m_pendingDeletions.emplace_back(detail, detail->parentFilter());
        detail->setParentFilter(nullptr);
    }
    KESTFilterDataManager::sharedInstance()->recacheFilters();
}

void KESTFilterCreateViewController::donePress()
{
    if (auto root = view())
        root->endEditing(true);
    if (m_parentFilter) {
        addFiltersWithParent(m_parentFilter);
        if (auto navigation = navigationController())
            navigation->popViewControllerAnimated(true);
        return;
    }
    showNamePrompt("Save", "", kSaveTag);
}

void KESTFilterCreateViewController::renamePress(const Ref<NSObject>&)
{
    if (!m_parentFilter)
        return;
    Value name = m_parentFilter->filterName();
    showNamePrompt(NSLocalizedString("Rename"), name.isString() ? name.stringValue() : std::string(), kRenameTag);
}

void KESTFilterCreateViewController::showNamePrompt(const std::string& title, const std::string& name, int32_t tag)
{
    auto alert = UIAlertView::initWithTitle(
        title, "Please set a name for this filter", this, weak_from_this(), "Cancel", { "OK" });
    alert->setAlertViewStyle(UIAlertViewStylePlainTextInput);
    if (auto field = alert->textFieldAtIndex(0)) {
        field->setAutocapitalizationType(UITextAutocapitalizationTypeSentences);
        field->setText(name);
    }
    alert->setTag(tag);
    alert->show();
}

void KESTFilterCreateViewController::alertViewClickedButtonAtIndex(const Ref<UIAlertView>& alert, int32_t index)
{
    if (index != 1 || !m_managedObjectContext)
        return;
    auto field = alert->textFieldAtIndex(0);
    std::string name = field ? field->text() : std::string();
    if (alert->tag() == kSaveTag) {
        if (!m_parentFilter) {
            m_parentFilter = std::dynamic_pointer_cast<KESTFilter>(
                NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext(
                    "KESTFilter", m_managedObjectContext));
            if (!m_parentFilter)
                return;
            m_parentFilter->setFilterActive(Value(true));
        }
        m_parentFilter->setFilterName(Value(name));
        saveMainContext();
        addFiltersWithParent(m_parentFilter);
        KESTFilterDataManager::sharedInstance()->recacheFilters();
        if (auto navigation = navigationController())
            navigation->popViewControllerAnimated(true);
        return;
    }
    m_parentFilter->setFilterName(Value(name));
    // Renaming stores the edits made so far; drafts stay drafts.
    applyPendingDeletions();
    saveMainContext();
    rememberStoredState();
    KESTFilterDataManager::sharedInstance()->recacheFilters();
}

void KESTFilterCreateViewController::addFiltersWithParent(const Ref<KESTFilter>& filter)
{
    applyPendingDeletions();
    saveMainContext();
    for (const auto& [type, details] : m_sections) {
        for (const auto& detail : details)
            filterDetailObjectWithDraftAndParent(detail, filter);
    }
    rememberStoredState();
    KESTFilterDataManager::sharedInstance()->recacheFilters();
}

bool KESTFilterCreateViewController::filterDetailObjectWithDraftAndParent(
    const Ref<KESTFilterDetail>& draft, const Ref<KESTFilter>& parent)
{
    if (!draft || !draft->filterTitle().isString())
        return true;
    if (!draft->filterDetail().isString())
        draft->setFilterDetail(draft->filterTitle());
    // A stored condition was saved with the context.
    if (draft->managedObjectContext() == m_managedObjectContext)
        return true;
    auto stored = std::dynamic_pointer_cast<KESTFilterDetail>(
        NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext(
            "KESTFilterDetail", m_managedObjectContext));
    if (!stored)
        return false;
    copyConditionValues(draft, stored);
    stored->setParentFilter(parent);
    bool saved = saveMainContext();
    KESTFilterDataManager::sharedInstance()->recacheFilters();
    return saved;
}

void KESTFilterCreateViewController::sharePress(const Ref<NSObject>&)
{
    if (!m_parentFilter)
        return;
    std::string link = NSString::stringWithFormat("vxvolantrix://?addfilter=%@", m_parentFilter->serializedObject());
    std::vector<Value> items { Value("Check out this filter I created in Volantrix") };
    if (auto url = NSURL::URLWithString(link))
        items.push_back(Value(url));
    auto sheet = UIActivityViewController::initWithActivityItemsApplicationActivities(items, {});
    sheet->setExcludedActivityTypes({ UIActivityTypePostToWeibo, UIActivityTypeAssignToContact, UIActivityTypePrint,
        UIActivityTypeCopyToPasteboard });
    presentViewControllerAnimatedCompletion(sheet, true, nullptr);
}

void KESTFilterCreateViewController::viewDidLayoutSubviews()
{
    KESTBaseViewController::viewDidLayoutSubviews();
    KESTBarInsets::adjustTopInset(tableView(), self<UIViewController>());
}
