#pragma once

#include "app/core/KESTMapBounds.h"
#include "app/view-controllers/common/KESTBaseViewController.h"
#include "app/widgets/KESTAutocompleteBarView.h"
#include "uikit/UIAlertView.h"
#include "uikit/UITextField.h"

#include <functional>

class KESTAlert;
class KESTAlertActivity;
class MKMapView;
class NSManagedObjectContext;
class UISegmentedControl;

// The alert editor: what to watch (squawk, aircraft type, airline, registration or hex address
// in five segments), the value typed with suggestions from the flight-data service, anywhere or
// only inside the area its small map shows, saved under a name into the main context. Pushed
// for a new or an existing alert, or the root of its own navigation controller when the Add
// Alert share entry opens it (then it has a Close button and dismisses itself after saving).
// Leaving it discards only its own unsaved change, never other unsaved work of the context.
// Main thread only.
class KESTAlertCreateViewController : public KESTBaseViewController,
                                      public UIAlertViewDelegate,
                                      public UITextFieldDelegate,
                                      public KESTAutocompleteDelegate {
    VX_OBJECT(KESTAlertCreateViewController, KESTBaseViewController)
public:
    explicit KESTAlertCreateViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTAlertCreateViewController> init();
    static Ref<KESTAlertCreateViewController> initWithPlaceHolderTextAndIndex(const std::string& text, int32_t index);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void donePress(const Ref<NSObject>& sender);
    void close();
    void alertTypeSegmentChange(const Ref<NSObject>& sender);
    void mapSegmentChange(const Ref<NSObject>& sender);
    void setupKeyboard();

    bool textFieldShouldChangeCharactersInRangeReplacementString(
        const Ref<UITextField>& field, NSRange range, const std::string& replacement) override;
    bool textFieldShouldReturn(const Ref<UITextField>& field) override;
    void autocompleteBarDidSelectSuggestion(
        const Ref<KESTAutocompleteBarView>& bar, const Ref<KESTTokenButton>& suggestion) override;
    void alertViewClickedButtonAtIndex(const Ref<UIAlertView>& alert, int32_t index) override;

    // North, south, east, west of the map's region with "Location" chosen; the anywhere
    // bounds 180, -180, 180, -180 otherwise.
    KESTMapBounds currentMapBounds() const;
    // No only for exactly the anywhere bounds.
    static bool isLocationSpecific(const Ref<KESTAlert>& alert);
    void setMapBoundsWithAlert(const Ref<KESTAlert>& alert);
    void searchForDataWithTextAndType(const std::string& text, int32_t type);

    // Segment index to alert type and back.
    static int32_t sectionToNumberTranslation(int32_t section);
    static int32_t numberToSectionTranslation(int32_t number);

    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }
    const Ref<KESTAlert>& existingAlert() const { return m_existingAlert; }
    void setExistingAlert(Ref<KESTAlert> alert) { m_existingAlert = std::move(alert); }
    const Ref<KESTAlertActivity>& activity() const { return m_activity; }
    void setActivity(Ref<KESTAlertActivity> activity) { m_activity = std::move(activity); }
    const std::string& passedString() const { return m_passedString; }
    int32_t passedInt() const { return m_passedInt; }
    const Ref<KESTAutocompleteBarView>& autocompleteBar() const { return m_autocompleteBar; }
    bool dismissAfterSave() const { return m_dismissAfterSave; }

    Ref<UISegmentedControl> alertTypeSegmentedControl() const { return m_alertTypeSegmentedControl.lock(); }
    void setAlertTypeSegmentedControl(const Ref<UISegmentedControl>& control) { m_alertTypeSegmentedControl = control; }
    Ref<UITextField> alertTextField() const { return m_alertTextField.lock(); }
    void setAlertTextField(const Ref<UITextField>& field) { m_alertTextField = field; }
    Ref<UISegmentedControl> mapSegmentedControl() const { return m_mapSegmentedControl.lock(); }
    void setMapSegmentedControl(const Ref<UISegmentedControl>& control) { m_mapSegmentedControl = control; }
    Ref<MKMapView> mapView() const { return m_mapView.lock(); }
    void setMapView(const Ref<MKMapView>& map) { m_mapView = map; }

private:
    Ref<NSManagedObjectContext> m_managedObjectContext;
    Ref<KESTAlert> m_existingAlert;
    Ref<KESTAlertActivity> m_activity;
    std::string m_passedString;
    int32_t m_passedInt { 0 };
    Ref<KESTAutocompleteBarView> m_autocompleteBar;
    bool m_dismissAfterSave { false };
    // Puts back the change of a save that failed; empty when nothing of ours is pending.
    std::function<void()> m_undoUnsaved;
    Weak<UISegmentedControl> m_alertTypeSegmentedControl;
    Weak<UITextField> m_alertTextField;
    Weak<UISegmentedControl> m_mapSegmentedControl;
    Weak<MKMapView> m_mapView;
};
