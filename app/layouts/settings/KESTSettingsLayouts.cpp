#include "app/view-controllers/settings/KESTLegalViewController.h"
#include "app/view-controllers/settings/KESTSettingsCells.h"
#include "app/view-controllers/settings/KESTSettingsDebugViewController.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWebView.h"

// The settings cells, the marker-grid debug screen and the legal page.
namespace {

Ref<UILabel> label(const Ref<UIView>& parent, CGRect frame, const Ref<UIFont>& font, const Ref<UIColor>& colour)
{
    auto label = UILabel::initWithFrame(frame);
    label->setFont(font);
    label->setTextColor(colour);
    label->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    parent->addSubview(label);
    return label;
}

// 60 points: title and description on the left, the switch on the right.
std::vector<Value> buildSwitchCell(const Ref<NSObject>&, const Value&)
{
    auto cell
        = KESTSettingsSwitchCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "KESTSettingsSwitchCell");
    cell->setFrame(CGRectMake(0, 0, 320, 60));
    auto content = cell->contentView();
    cell->titleLabel = label(content, CGRectMake(16, 9, 210, 22), UIFont::systemFontOfSize(17), UIColor::blackColor());
    cell->descriptionLabel
        = label(content, CGRectMake(16, 32, 210, 18), UIFont::systemFontOfSize(12), UIColor::grayColor());
    cell->cellSwitch = UISwitch::initWithFrame(CGRectMake(320 - 16 - 51, 14, 51, 31));
    cell->cellSwitch->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
    content->addSubview(cell->cellSwitch);
    cell->awakeFromNib();
    return { Value(cell) };
}

// 87 points: the title above the segmented control the screen adds.
std::vector<Value> buildSegmentedCell(const Ref<NSObject>&, const Value&)
{
    auto cell = KESTSettingsSegmentedCell::initWithStyleReuseIdentifier(
        UITableViewCellStyleDefault, "KESTSettingsSegmentedCell");
    cell->setFrame(CGRectMake(0, 0, 320, 87));
    cell->titleLabel
        = label(cell->contentView(), CGRectMake(16, 11, 288, 22), UIFont::systemFontOfSize(17), UIColor::blackColor());
    return { Value(cell) };
}

// 60 points: title and range on the left, a stepper from 0 to 4 on the right.
std::vector<Value> buildStepperCell(const Ref<NSObject>&, const Value&)
{
    auto cell = KESTStepperCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "KESTStepperCell");
    cell->setFrame(CGRectMake(0, 0, 320, 60));
    auto content = cell->contentView();
    cell->titleLabel = label(content, CGRectMake(16, 9, 190, 22), UIFont::systemFontOfSize(17), UIColor::blackColor());
    cell->descriptionLabel
        = label(content, CGRectMake(16, 32, 190, 18), UIFont::systemFontOfSize(12), UIColor::grayColor());
    cell->cellStepper = UIStepper::initWithFrame(CGRectMake(320 - 16 - 94, 15, 94, 29));
    cell->cellStepper->setMinimumValue(0);
    cell->cellStepper->setMaximumValue(4);
    cell->cellStepper->setStepValue(1);
    cell->cellStepper->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
    content->addSubview(cell->cellStepper);
    return { Value(cell) };
}

std::vector<Value> buildDebug(const Ref<NSObject>& owner, const Value&)
{
    auto screen = std::dynamic_pointer_cast<KESTSettingsDebugViewController>(owner);
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 320, 300));
    view->setBackgroundColor(UIColor::groupTableViewBackgroundColor());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    const char* titles[] = { "Grid columns", "Grid rows", "Maximum planes", "Grid overflow" };
    double maxima[] = { 20, 20, 2000, 200 };
    Ref<UILabel> values[4];
    Ref<UIStepper> steppers[4];
    for (int i = 0; i < 4; ++i) {
        CGFloat y = 84 + 56 * i; // below the navigation bar
        label(view, CGRectMake(16, y, 140, 29), UIFont::systemFontOfSize(16), UIColor::blackColor())
            ->setText(titles[i]);
        values[i] = label(view, CGRectMake(160, y, 50, 29), UIFont::boldSystemFontOfSize(16), UIColor::blackColor());
        steppers[i] = UIStepper::initWithFrame(CGRectMake(214, y, 94, 29));
        steppers[i]->setMaximumValue(maxima[i]);
        steppers[i]->setStepValue(1);
        if (screen)
            steppers[i]->addTarget(screen, &KESTSettingsDebugViewController::stepperValueChanged,
                "stepperValueChanged:", UIControlEventValueChanged);
        view->addSubview(steppers[i]);
    }
    if (screen) {
        screen->gridColumnValue = values[0];
        screen->gridRowValue = values[1];
        screen->maxPlanesValue = values[2];
        screen->gridOverflowValue = values[3];
        screen->gridColumnStepper = steppers[0];
        screen->gridRowStepper = steppers[1];
        screen->maxPlanesStepper = steppers[2];
        screen->gridOverflowStepper = steppers[3];
        screen->setView(view);
    }
    return { Value(view) };
}

std::vector<Value> buildLegal(const Ref<NSObject>& owner, const Value&)
{
    auto screen = std::dynamic_pointer_cast<KESTLegalViewController>(owner);
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 320, 480));
    view->setBackgroundColor(UIColor::whiteColor());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    // Below the navigation bar (and the status bar above it).
    auto web = UIWebView::initWithFrame(CGRectMake(0, 64, 320, 416));
    web->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->addSubview(web);
    if (screen) {
        screen->webView = web;
        screen->setView(view);
    }
    return { Value(view) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTSettingsSwitchCell", buildSwitchCell);
VX_REGISTER_LAYOUT("KESTSettingsSegmentedCell", buildSegmentedCell);
VX_REGISTER_LAYOUT("KESTStepperCell", buildStepperCell);
VX_REGISTER_LAYOUT("KESTSettingsDebugView", buildDebug);
VX_REGISTER_LAYOUT("KESTLegalViewController", buildLegal);
