#pragma once

#include "uikit/UISegmentedControl.h"
#include "uikit/UIStepper.h"
#include "uikit/UISwitch.h"
#include "uikit/UITableViewCell.h"

#include <string>
#include <vector>

class UILabel;

// A settings row with a title, a description and a switch. It never shows a selected state.
class KESTSettingsSwitchCell : public UITableViewCell {
    VX_OBJECT(KESTSettingsSwitchCell, UITableViewCell)
public:
    explicit KESTSettingsSwitchCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTSettingsSwitchCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTSettingsSwitchCell>(style, reuseIdentifier);
    }
    void awakeFromNib() { }
    void setSelectedAnimated(bool, bool) override { }

    Ref<UILabel> titleLabel, descriptionLabel;
    Ref<UISwitch> cellSwitch;
};

// A settings row with a title above a segmented control that the screen puts in.
class KESTSettingsSegmentedCell : public UITableViewCell {
    VX_OBJECT(KESTSettingsSegmentedCell, UITableViewCell)
public:
    explicit KESTSettingsSegmentedCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTSettingsSegmentedCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTSettingsSegmentedCell>(style, reuseIdentifier);
    }
    // A new control with the titles and the selection, stretched across the cell below the title.
    void setSegmentedControlWithItemsAndSelected(const std::vector<std::string>& items, int32_t selected);
    // A reused cell keeps neither the control nor its wiring.
    void prepareForReuse() override;

    Ref<UILabel> titleLabel;
    Ref<UISegmentedControl> cellSegmentedControl;
};

// A settings row with a title, a description and a stepper.
class KESTStepperCell : public UITableViewCell {
    VX_OBJECT(KESTStepperCell, UITableViewCell)
public:
    explicit KESTStepperCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTStepperCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTStepperCell>(style, reuseIdentifier);
    }

    Ref<UILabel> titleLabel, descriptionLabel;
    Ref<UIStepper> cellStepper;
};
