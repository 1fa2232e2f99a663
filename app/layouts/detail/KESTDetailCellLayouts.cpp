// The layouts of the detail tabs' cells: 320 points wide (the popover's width), labels in
// columns from x 16, resizing with the row.
#include "app/view-controllers/detail/KESTAircraftImageViewCell.h"
#include "app/view-controllers/detail/KESTAircraftOverviewViewCell.h"
#include "app/view-controllers/detail/KESTFlightCapacityViewCell.h"
#include "app/view-controllers/detail/KESTFlightCodeshareViewCell.h"
#include "app/view-controllers/detail/KESTFlightDaysOfOperationViewCell.h"
#include "app/view-controllers/detail/KESTFlightScheduledViewCell.h"
#include "app/view-controllers/detail/KESTFlightServiceTypeViewCell.h"
#include "app/view-controllers/detail/KESTGeneralOverviewViewCell.h"
#include "app/view-controllers/detail/KESTPlaneHeaderViewCell.h"
#include "app/view-controllers/detail/KESTSingleColumnViewCell.h"
#include "app/view-controllers/detail/KESTSparkLineViewCell.h"
#include "app/view-controllers/detail/KESTThreeColumnViewCell.h"
#include "app/view-controllers/gallery/KESTNoImageWarningView.h"
#include "app/widgets/KESTGradientView.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"

namespace {

constexpr CGFloat kWidth = 320;

template <typename Cell> Ref<Cell> makeCell(const char* name, CGFloat height)
{
    auto cell = Cell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, name);
    cell->setFrame(CGRectMake(0, 0, kWidth, height));
    cell->contentView()->setFrame(CGRectMake(0, 0, kWidth, height));
    return cell;
}

Ref<UILabel> label(const Ref<UITableViewCell>& cell, CGRect frame, UIViewAutoresizing mask = UIViewAutoresizingNone,
    const Ref<UIColor>& colour = nullptr)
{
    auto view = UILabel::initWithFrame(frame);
    view->setBackgroundColor(UIColor::clearColor());
    view->setTextColor(colour ? colour : UIColor::blackColor());
    view->setAutoresizingMask(mask);
    cell->contentView()->addSubview(view);
    return view;
}

Ref<UIColor> headerGrey()
{
    return UIColor::colorWithRedGreenBlueAlpha(90 / 255.0f, 90 / 255.0f, 96 / 255.0f, 1);
}

// A header over a value, at column x of the given width, anchored to the bottom of the row.
std::pair<Ref<UILabel>, Ref<UILabel>> column(
    const Ref<UITableViewCell>& cell, CGFloat x, CGFloat width, CGFloat top, UIViewAutoresizing extra)
{
    auto header = label(cell, CGRectMake(x, top, width, 20), extra, headerGrey());
    auto value = label(cell, CGRectMake(x, top + 22, width, 22), extra);
    return { header, value };
}

std::vector<Value> buildPlaneHeader(const Ref<NSObject>&, const Value&)
{
    auto cell = makeCell<KESTPlaneHeaderViewCell>("KESTPlaneHeaderViewCell", 135);
    auto content = cell->contentView();
    const UIViewAutoresizing fill = UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight;
    auto gradient = KESTGradientView::initWithFrame(CGRectMake(0, 0, kWidth, 135));
    gradient->setAutoresizingMask(fill);
    content->addSubview(gradient);
    auto photo = UIImageView::initWithFrame(CGRectMake(0, 0, kWidth, 135));
    photo->setContentMode(UIViewContentModeScaleAspectFill);
    photo->setClipsToBounds(true);
    photo->setAutoresizingMask(fill);
    content->addSubview(photo);
    auto dimmer = UIView::initWithFrame(CGRectMake(0, 87, kWidth, 48));
    dimmer->setBackgroundColor(UIColor::colorWithWhiteAlpha(0, 0.45f));
    dimmer->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleTopMargin);
    content->addSubview(dimmer);
    auto warning = KESTNoImageWarningView::viewFromNib();
    if (warning) {
        warning->setFrame(CGRectMake(0, 10, kWidth - 16, 36));
        warning->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        content->addSubview(warning);
    }
    auto aircraft = label(cell, CGRectMake(16, 90, kWidth - 32, 22),
        UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleTopMargin, UIColor::whiteColor());
    aircraft->setText("");
    auto timestamp = label(cell, CGRectMake(16, 112, kWidth - 32, 18),
        UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleTopMargin, UIColor::whiteColor());
    auto galleryIcon = UIImageView::initWithImage(UIImage::imageNamed("galleryIcon"));
    galleryIcon->setFrame(CGRectMake(kWidth - 44, 96, 28, 28));
    galleryIcon->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleTopMargin);
    content->addSubview(galleryIcon);
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setFrame(CGRectMake(0, 0, kWidth, 135));
    button->setAutoresizingMask(fill);
    content->addSubview(button);
    cell->setGradientView(gradient);
    cell->setPlaneImageView(photo);
    cell->setDimmerView(dimmer);
    cell->setNoImageView(warning);
    cell->setAircraftLabel(aircraft);
    cell->setUpdateTimestampLabel(timestamp);
    cell->setGalleryImageView(galleryIcon);
    cell->setGalleryButton(button);
    cell->awakeFromNib();
    return { Value(cell) };
}

std::vector<Value> buildGeneralOverview(const Ref<NSObject>&, const Value&)
{
    auto cell = makeCell<KESTGeneralOverviewViewCell>("KESTGeneralOverviewViewCell", 126);
    auto logo = UIImageView::initWithFrame(CGRectMake(16, 8, kWidth - 32, 52));
    logo->setContentMode(UIViewContentModeScaleAspectFit);
    logo->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleBottomMargin);
    cell->contentView()->addSubview(logo);
    cell->setAirlineImageView(logo);
    const UIViewAutoresizing bottom = UIViewAutoresizingFlexibleTopMargin;
    auto flight = column(cell, 16, 95, 71, bottom);
    auto callsign = column(cell, 117, 95, 71, bottom);
    auto reg = column(cell, 218, 95, 71, bottom);
    cell->setFlightNoHeaderLabel(flight.first);
    cell->setFlightNoValueLabel(flight.second);
    cell->setCallsignHeaderLabel(callsign.first);
    cell->setCallsignValueLabel(callsign.second);
    cell->setRegHeaderLabel(reg.first);
    cell->setRegValueLabel(reg.second);
    cell->awakeFromNib();
    return { Value(cell) };
}

std::vector<Value> buildThreeColumn(const Ref<NSObject>&, const Value&)
{
    auto cell = makeCell<KESTThreeColumnViewCell>("KESTThreeColumnViewCell", 63);
    auto one = column(cell, 16, 95, 8, UIViewAutoresizingNone);
    auto two = column(cell, 117, 95, 8, UIViewAutoresizingNone);
    auto three = column(cell, 218, 95, 8, UIViewAutoresizingNone);
    cell->setCol1HeaderLabel(one.first);
    cell->setCol1ValueLabel(one.second);
    cell->setCol2HeaderLabel(two.first);
    cell->setCol2ValueLabel(two.second);
    cell->setCol3HeaderLabel(three.first);
    cell->setCol3ValueLabel(three.second);
    cell->awakeFromNib();
    return { Value(cell) };
}

std::vector<Value> buildSingleColumn(const Ref<NSObject>&, const Value&)
{
    auto cell = makeCell<KESTSingleColumnViewCell>("KESTSingleColumnViewCell", 63);
    auto header = label(cell, CGRectMake(16, 8, kWidth - 32, 20), UIViewAutoresizingFlexibleWidth, headerGrey());
    auto value = label(
        cell, CGRectMake(16, 30, kWidth - 32, 25), UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    cell->setHeaderLabel(header);
    cell->setValueLabel(value);
    cell->awakeFromNib();
    return { Value(cell) };
}

std::vector<Value> buildAircraftOverview(const Ref<NSObject>&, const Value&)
{
    auto cell = makeCell<KESTAircraftOverviewViewCell>("KESTAircraftOverviewViewCell", 126);
    auto logo = UIImageView::initWithFrame(CGRectMake(16, 8, kWidth - 32, 52));
    logo->setContentMode(UIViewContentModeScaleAspectFit);
    logo->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleBottomMargin);
    cell->contentView()->addSubview(logo);
    const UIViewAutoresizing bottom = UIViewAutoresizingFlexibleTopMargin;
    auto name = label(cell, CGRectMake(16, 71, 200, 22), bottom | UIViewAutoresizingFlexibleWidth);
    auto details
        = label(cell, CGRectMake(16, 95, kWidth - 32, 20), bottom | UIViewAutoresizingFlexibleWidth, headerGrey());
    auto button = UIButton::buttonWithType(UIButtonTypeSystem);
    button->setFrame(CGRectMake(kWidth - 96, 68, 80, 26));
    button->setAutoresizingMask(bottom | UIViewAutoresizingFlexibleLeftMargin);
    cell->contentView()->addSubview(button);
    cell->setAirlineImageView(logo);
    cell->setAircraftNameLabel(name);
    cell->setAircraftDetailsLabel(details);
    cell->setHistoryButton(button);
    cell->awakeFromNib();
    return { Value(cell) };
}

std::vector<Value> buildAircraftImage(const Ref<NSObject>&, const Value&)
{
    auto cell = makeCell<KESTAircraftImageViewCell>("KESTAircraftImageViewCell", 135);
    auto picture = UIImageView::initWithFrame(CGRectMake(16, 20, kWidth - 32, 95));
    cell->contentView()->addSubview(picture);
    cell->setPlaneImageView(picture);
    cell->awakeFromNib();
    return { Value(cell) };
}

template <typename Cell, typename Setter> std::vector<Value> twoColumns(const char* name, Setter set)
{
    auto cell = makeCell<Cell>(name, 61);
    auto left = column(cell, 16, 140, 8, UIViewAutoresizingNone);
    auto right = column(cell, 164, 140, 8, UIViewAutoresizingNone);
    set(cell, left, right);
    cell->awakeFromNib();
    return { Value(cell) };
}

std::vector<Value> buildScheduled(const Ref<NSObject>&, const Value&)
{
    return twoColumns<KESTFlightScheduledViewCell>("KESTFlightScheduledViewCell", [](auto& cell, auto& l, auto& r) {
        cell->setScheduledArrivalDayHeaderLabel(l.first);
        cell->setScheduledArrivalDayValueLabel(l.second);
        cell->setElapsedJourneyTimeHeaderLabel(r.first);
        cell->setElapsedJourneyTimeValueLabel(r.second);
    });
}

std::vector<Value> buildCapacity(const Ref<NSObject>&, const Value&)
{
    return twoColumns<KESTFlightCapacityViewCell>("KESTFlightCapacityViewCell", [](auto& cell, auto& l, auto& r) {
        cell->setFreightCapacityHeaderLabel(l.first);
        cell->setFreightCapacityValueLabel(l.second);
        cell->setFreightClassesHeaderLabel(r.first);
        cell->setFreightClassesValueLabel(r.second);
    });
}

std::vector<Value> buildServiceType(const Ref<NSObject>&, const Value&)
{
    return twoColumns<KESTFlightServiceTypeViewCell>("KESTFlightServiceTypeViewCell", [](auto& cell, auto& l, auto& r) {
        cell->setServiceTypeHeaderLabel(l.first);
        cell->setServiceTypeValueLabel(l.second);
        cell->setTotalSeatsHeaderLabel(r.first);
        cell->setTotalSeatsValueLabel(r.second);
    });
}

std::vector<Value> buildDaysOfOperation(const Ref<NSObject>&, const Value&)
{
    auto cell = makeCell<KESTFlightDaysOfOperationViewCell>("KESTFlightDaysOfOperationViewCell", 88);
    cell->setTitleLabel(label(cell, CGRectMake(16, 8, kWidth - 32, 20), UIViewAutoresizingFlexibleWidth, headerGrey()));
    std::vector<Ref<UILabel>> labels;
    std::vector<Ref<UIImageView>> images;
    for (int day = 0; day < 7; ++day) {
        CGFloat x = 16 + day * 41;
        auto image = UIImageView::initWithImage(UIImage::imageNamed("daysOfOperationInactive"));
        image->setFrame(CGRectMake(x + 8, 32, 24, 24));
        cell->contentView()->addSubview(image);
        images.push_back(image);
        auto name = label(cell, CGRectMake(x, 60, 40, 18), UIViewAutoresizingNone, UIColor::grayColor());
        name->setTextAlignment(NSTextAlignmentCenter);
        labels.push_back(name);
    }
    cell->setMondayLabel(labels[0]);
    cell->setTuesdayLabel(labels[1]);
    cell->setWednesdayLabel(labels[2]);
    cell->setThursdayLabel(labels[3]);
    cell->setFridayLabel(labels[4]);
    cell->setSaturdayLabel(labels[5]);
    cell->setSundayLabel(labels[6]);
    cell->setMondayImageView(images[0]);
    cell->setTuesdayImageView(images[1]);
    cell->setWednesdayImageView(images[2]);
    cell->setThursdayImageView(images[3]);
    cell->setFridayImageView(images[4]);
    cell->setSaturdayImageView(images[5]);
    cell->setSundayImageView(images[6]);
    cell->awakeFromNib();
    return { Value(cell) };
}

std::vector<Value> buildCodeshare(const Ref<NSObject>&, const Value&)
{
    auto cell = makeCell<KESTFlightCodeshareViewCell>("KESTFlightCodeshareViewCell", 202);
    cell->setCodeshareDescriptionLabel(
        label(cell, CGRectMake(16, 8, kWidth - 32, 20), UIViewAutoresizingFlexibleWidth, headerGrey()));
    std::vector<Ref<UILabel>> labels;
    for (int i = 0; i < KESTFlightCodeshareViewCell::kLabelCount; ++i)
        labels.push_back(label(cell, CGRectMake(16 + (i % 3) * 96, 32 + (i / 3) * 34, 90, 24)));
    cell->setCodeshareLabels(std::move(labels));
    cell->awakeFromNib();
    return { Value(cell) };
}

std::vector<Value> buildSparkLine(const Ref<NSObject>&, const Value&)
{
    auto cell = makeCell<KESTSparkLineViewCell>("KESTSparkLineViewCell", 61);
    cell->setDescriptionLabel(label(cell, CGRectMake(16, 8, 110, 20), UIViewAutoresizingNone, headerGrey()));
    cell->setValueLabel(label(cell, CGRectMake(16, 30, 110, 22)));
    auto container = UIView::initWithFrame(CGRectMake(130, 0, kWidth - 146, 61));
    container->setBackgroundColor(UIColor::clearColor());
    container->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    cell->contentView()->addSubview(container);
    cell->setSparkLineContainerView(container);
    cell->awakeFromNib();
    return { Value(cell) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTPlaneHeaderViewCell", buildPlaneHeader);
VX_REGISTER_LAYOUT("KESTGeneralOverviewViewCell", buildGeneralOverview);
VX_REGISTER_LAYOUT("KESTThreeColumnViewCell", buildThreeColumn);
VX_REGISTER_LAYOUT("KESTSingleColumnViewCell", buildSingleColumn);
VX_REGISTER_LAYOUT("KESTAircraftOverviewViewCell", buildAircraftOverview);
VX_REGISTER_LAYOUT("KESTAircraftImageViewCell", buildAircraftImage);
VX_REGISTER_LAYOUT("KESTFlightScheduledViewCell", buildScheduled);
VX_REGISTER_LAYOUT("KESTFlightCapacityViewCell", buildCapacity);
VX_REGISTER_LAYOUT("KESTFlightServiceTypeViewCell", buildServiceType);
VX_REGISTER_LAYOUT("KESTFlightDaysOfOperationViewCell", buildDaysOfOperation);
VX_REGISTER_LAYOUT("KESTFlightCodeshareViewCell", buildCodeshare);
VX_REGISTER_LAYOUT("KESTSparkLineViewCell", buildSparkLine);
