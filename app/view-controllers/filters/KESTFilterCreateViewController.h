#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"
#include "app/view-controllers/filters/KESTFilterAirportCell.h"
#include "app/view-controllers/filters/KESTFilterRangeSliderCell.h"
#include "uikit/UIAlertView.h"
#include "uikit/UITableView.h"

#include <cstdint>
#include <map>
#include <vector>

class KESTFilter;
class KESTFilterDetail;
class NSManagedObjectContext;
class UIBarButtonItem;
class UIButton;
class UILabel;

// The filter editor: a new filter (no parentFilter) or a stored one, as six condition sections
// (Airline, Aircraft, Airport, Squawk with a row per condition; Altitude and Speed with one
// range row each) and a live count of the planes the filter as edited lets through. Stored
// conditions are edited in the main context directly; new ones are drafts outside any context
// until the filter is saved. Leaving without saving puts back exactly what this editor changed
// (attributes of stored conditions, removed conditions) and nothing else of the main context.
// Main thread only.
class KESTFilterCreateViewController : public KESTBaseViewController,
                                       public UITableViewDataSource,
                                       public UITableViewDelegate,
                                       public UIAlertViewDelegate,
                                       public KESTFilterAirportCellDelegate,
                                       public KESTFilterRangeSliderCellDelegate {
    VX_OBJECT(KESTFilterCreateViewController, KESTBaseViewController)
public:
    explicit KESTFilterCreateViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTFilterCreateViewController> init() { return initWithNibNameBundle({}, nullptr); }
    static Ref<KESTFilterCreateViewController> initWithNibNameBundle(
        const std::string& nibName, const Ref<NSBundle>& bundle);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidLayoutSubviews() override;
    void viewWillDisappear(bool animated) override;

    void donePress();
    void renamePress(const Ref<NSObject>& sender);
    void sharePress(const Ref<NSObject>& sender);
    void updateLabel();
    void updateUI() override;
    void keyboardWasHidden(const Ref<NSNotification>&) override;

    Ref<UIButton> makeDetailDisclosureButtonWithDelete(bool withDelete);
    void accessoryButtonTapped(const Ref<NSObject>& sender);

    Ref<KESTFilterDetail> filterDetailTemplateObject() const;
    Ref<KESTFilter> filterTemplateObject() const;
    Ref<KESTFilterDetail> mockFilterDetailObjectWithDraftAndParent(
        const Ref<KESTFilterDetail>& draft, const Ref<KESTFilter>& parent) const;
    bool filterDetailObjectWithDraftAndParent(const Ref<KESTFilterDetail>& draft, const Ref<KESTFilter>& parent);
    void addFiltersWithParent(const Ref<KESTFilter>& filter);
    void deleteWithObject(const Ref<KESTFilterDetail>& detail);

    // Table.
    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return 6; }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    bool tableViewCanEditRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override { return false; }
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    void tableViewAccessoryButtonTappedForRowWithIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;

    void alertViewClickedButtonAtIndex(const Ref<UIAlertView>& alert, int32_t index) override;

    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }
    const Ref<KESTFilter>& parentFilter() const { return m_parentFilter; }
    void setParentFilter(Ref<KESTFilter> filter) { m_parentFilter = std::move(filter); }
    const std::map<int32_t, std::vector<Ref<KESTFilterDetail>>>& sections() const { return m_sections; }
    const std::vector<std::string>& headings() const { return m_headings; }

    Ref<UITableView> tableView() const { return m_tableView.lock(); }
    void setTableView(const Ref<UITableView>& table) { m_tableView = table; }
    Ref<UILabel> matchesLabel() const { return m_matchesLabel.lock(); }
    void setMatchesLabel(const Ref<UILabel>& label) { m_matchesLabel = label; }
    const Ref<UIBarButtonItem>& renameButton() const { return m_renameButton; }
    void setRenameButton(Ref<UIBarButtonItem> button) { m_renameButton = std::move(button); }
    const Ref<UIBarButtonItem>& shareButton() const { return m_shareButton; }
    void setShareButton(Ref<UIBarButtonItem> button) { m_shareButton = std::move(button); }

private:
    void showNamePrompt(const std::string& title, const std::string& name, int32_t tag);
    // The stored conditions as they are now, to put back when the editor is left unsaved.
    void rememberStoredState();
    // Removes the conditions taken out of a stored filter from the main context.
    void applyPendingDeletions();
    void revertUnsavedEdits();
    bool saveMainContext();

    Ref<NSManagedObjectContext> m_managedObjectContext;
    Ref<KESTFilter> m_parentFilter;
    std::map<int32_t, std::vector<Ref<KESTFilterDetail>>> m_sections;
    std::vector<std::string> m_headings;
    Weak<UITableView> m_tableView;
    Weak<UILabel> m_matchesLabel;
    Ref<UIBarButtonItem> m_renameButton;
    Ref<UIBarButtonItem> m_shareButton;
    std::vector<std::pair<Ref<KESTFilterDetail>, Value>> m_storedState;
    // The number of match counts asked for; a count shows only if no later one was asked.
    uint64_t m_countsAsked { 0 };
    // Stored conditions removed in the editor, with the filter they came from: detached at once
    // so the map stops applying them, deleted when the filter is saved, attached again when the
    // editor is left unsaved.
    std::vector<std::pair<Ref<KESTFilterDetail>, Ref<KESTFilter>>> m_pendingDeletions;
};
