#include "app/view-controllers/settings/KESTSettingsCells.h"

VX_REGISTER_CLASS(KESTSettingsSwitchCell);
VX_REGISTER_CLASS(KESTSettingsSegmentedCell);
VX_REGISTER_CLASS(KESTStepperCell);

void KESTSettingsSegmentedCell::setSegmentedControlWithItemsAndSelected(
    const std::vector<std::string>& items, int32_t selected)
{
    cellSegmentedControl = UISegmentedControl::initWithItems(items);
    cellSegmentedControl->setFrame(CGRectMake(16, 43, contentView()->bounds().size.width - 32, 29));
    cellSegmentedControl->setSelectedSegmentIndex(selected);
    cellSegmentedControl->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    contentView()->insertSubviewAtIndex(cellSegmentedControl, 0);
}

void KESTSettingsSegmentedCell::prepareForReuse()
{
    UITableViewCell::prepareForReuse();
    if (cellSegmentedControl)
        cellSegmentedControl->removeFromSuperview();
    cellSegmentedControl = nullptr;
}
