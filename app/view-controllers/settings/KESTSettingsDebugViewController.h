#pragma once

#include "uikit/UIViewController.h"

class UILabel;
class UIStepper;

// A developer screen for the map's marker budget: grid columns and rows, the most markers and
// the grid overflow threshold, each a label and a stepper. Stepping changes only the labels;
// Save writes the four values to the map screen, closes the screen and asks every plane view to
// redraw. Main thread only.
class KESTSettingsDebugViewController : public UIViewController {
    VX_OBJECT(KESTSettingsDebugViewController, UIViewController)
public:
    explicit KESTSettingsDebugViewController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<KESTSettingsDebugViewController> init();

    void viewDidLoad() override;
    void setupValues();
    void stepperValueChanged(const Ref<NSObject>& sender);
    void updateSettings();

    Ref<UILabel> gridColumnValue, gridRowValue, maxPlanesValue, gridOverflowValue;
    Ref<UIStepper> gridColumnStepper, gridRowStepper, maxPlanesStepper, gridOverflowStepper;
};
