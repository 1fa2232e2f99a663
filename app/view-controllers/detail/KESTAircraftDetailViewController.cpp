#include "app/view-controllers/detail/KESTAircraftDetailViewController.h"

#include "app/core/KESTFlightDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/detail/KESTAircraftImageViewCell.h"
#include "app/view-controllers/detail/KESTAircraftOverviewViewCell.h"
#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/detail/KESTSingleColumnViewCell.h"
#include "app/view-controllers/detail/KESTThreeColumnViewCell.h"
#include "app/view-controllers/history/KESTHistoryViewController.h"
#include "foundation/NSBundle.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINib.h"

VX_REGISTER_CLASS(KESTAircraftDetailViewController);

Ref<KESTAircraftDetailViewController> KESTAircraftDetailViewController::initWithStyle(UITableViewStyle style)
{
    auto tab = makeDetailTab<KESTAircraftDetailViewController>(style);
    tab->installTabBarItem("Aircraft", "aircraftTabInactive", "aircraftTabActive");
    return tab;
}

void KESTAircraftDetailViewController::viewDidLoad()
{
    KESTDetailBaseViewController::viewDidLoad();
    tableView()->setSeparatorStyle(UITableViewCellSeparatorStyleNone);
    for (const char* nib : { "KESTAircraftOverviewViewCell", "KESTAircraftImageViewCell", "KESTThreeColumnViewCell",
             "KESTSingleColumnViewCell" })
        tableView()->registerNibForCellReuseIdentifier(UINib::nibWithNibNameBundle(nib, nullptr), nib);
}

void KESTAircraftDetailViewController::viewDidAppear(bool animated)
{
    KESTDetailBaseViewController::viewDidAppear(animated);
    auto detail = detailVC();
    if (detail && detail->plane())
        detail->setTitle(NSString::stringWithFormat("%@ - %@", detail->plane()->reg(), detail->plane()->type()));
}

void KESTAircraftDetailViewController::showHistory()
{
    auto detail = detailVC();
    auto navigation = navigationController();
    if (!detail || !detail->plane() || !navigation)
        return;
    navigation->pushViewControllerAnimated(KESTHistoryViewController::initWithADSHEX(detail->plane()->adshex()), true);
}

std::optional<std::string> KESTAircraftDetailViewController::recordField(const char* key) const
{
    auto detail = detailVC();
    if (!detail)
        return std::nullopt;
    const Value& record = detail->metadata().objectForKey("aircraft");
    if (!record.isDictionary())
        return std::nullopt;
    const Value& field = record.objectForKey(key);
    if (!field.isString() || field.string().empty())
        return std::nullopt;
    return field.string();
}

std::optional<CGFloat> KESTAircraftDetailViewController::tableViewHeightForRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    switch (indexPath->row()) {
    case 0:
        return 135;
    case 1: {
        auto detail = detailVC();
        return detail && detail->manufacturerImage() ? 126 : 63;
    }
    default:
        return 63;
    }
}

Ref<UITableViewCell> KESTAircraftDetailViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& table, const Ref<NSIndexPath>& indexPath)
{
    auto detail = detailVC();
    auto plane = detail ? detail->plane() : nullptr;
    int32_t row = indexPath->row();
    auto formatter = KESTFlightDataManager::sharedInstance();
    std::string na = NSLocalizedString("N/A");
    auto date = [&](const char* key) {
        auto text = recordField(key);
        return text ? formatter->formattedDateWithString(*text) : na;
    };
    auto plain = [&](const char* key) { return recordField(key).value_or(na); };
    auto background = row % 2 == 0 ? KESTDetailCellStyle::shadedRowColor() : UIColor::whiteColor();

    if (row == 0) {
        auto cell = std::dynamic_pointer_cast<KESTAircraftImageViewCell>(
            table->dequeueReusableCellWithIdentifierForIndexPath("KESTAircraftImageViewCell", indexPath));
        if (!cell)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->planeImageView()->setImage(detail ? detail->aircraftTechnicalImage() : nullptr);
        return cell;
    }
    if (row == 1) {
        auto cell = std::dynamic_pointer_cast<KESTAircraftOverviewViewCell>(
            table->dequeueReusableCellWithIdentifierForIndexPath("KESTAircraftOverviewViewCell", indexPath));
        if (!cell || !detail)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(UIColor::whiteColor());
        cell->airlineImageView()->setImage(detail->manufacturerImage());
        Weak<KESTAircraftDetailViewController> weak = self<KESTAircraftDetailViewController>();
        cell->historyButton()->removeTargetActionForControlEvents(
            self<NSObject>(), "showHistory", UIControlEventTouchUpInside);
        cell->historyButton()->addTargetActionForControlEvents(
            self<NSObject>(), "showHistory",
            [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
                if (auto tab = weak.lock())
                    tab->showHistory();
            },
            UIControlEventTouchUpInside);
        const auto& aircraft = detail->aircraftData();
        if (aircraft.size() >= 3) {
            cell->aircraftNameLabel()->setText(NSString::stringWithFormat("%@ %@", aircraft[0], aircraft[1]));
            cell->aircraftDetailsLabel()->setText(NSString::stringWithFormat(
                "%@ %@", aircraft[2], formatter->ageOfAircraftSinceDate(recordField("ff").value_or(""))));
        }
        return cell;
    }
    if (row <= 4) {
        auto cell = std::dynamic_pointer_cast<KESTThreeColumnViewCell>(
            table->dequeueReusableCellWithIdentifierForIndexPath("KESTThreeColumnViewCell", indexPath));
        if (!cell)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(background);
        struct Column {
            std::string header, value;
        };
        Column columns[3];
        if (row == 2) {
            columns[0] = { "First Flight", date("ff") };
            columns[1] = { "Registered", date("REGON") };
            columns[2] = { "Rollout", date("rollout") };
        } else if (row == 3) {
            columns[0] = { "Con. No.", plain("Con No") };
            columns[1] = { "Line No.", plain("Line No") };
            columns[2] = { "Series", plain("Series") };
        } else {
            std::string reg = plane ? plane->reg() : "";
            columns[0] = { "Delivered", date("dd") };
            columns[1] = { "Reg", reg == "z.NO-REG" ? na : reg };
            columns[2] = { "ADSHEX", plane ? plane->adshex() : "" };
        }
        const Ref<UILabel>* headers[]
            = { &cell->col1HeaderLabel(), &cell->col2HeaderLabel(), &cell->col3HeaderLabel() };
        const Ref<UILabel>* values[] = { &cell->col1ValueLabel(), &cell->col2ValueLabel(), &cell->col3ValueLabel() };
        for (int i = 0; i < 3; ++i) {
            (*headers[i])->setText(NSLocalizedString(columns[i].header));
            (*values[i])->setText(columns[i].value);
        }
        if (row == 3)
            cell->col1HeaderLabel()->sizeToFit();
        return cell;
    }
    auto cell = std::dynamic_pointer_cast<KESTSingleColumnViewCell>(
        table->dequeueReusableCellWithIdentifierForIndexPath("KESTSingleColumnViewCell", indexPath));
    if (!cell)
        return cell;
    cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
    cell->setBackgroundColor(background);
    if (row == 5) {
        cell->headerLabel()->setText(NSLocalizedString("Airfield Based"));
        cell->valueLabel()->setText(plain("base"));
        cell->valueLabel()->setNumberOfLines(1);
    } else if (row == 6) {
        cell->headerLabel()->setText(NSLocalizedString("Airline"));
        std::string text = na;
        if (detail && detail->airlineSQLName()) {
            text = *detail->airlineSQLName();
            if (detail->airlineCallsign())
                text += NSString::stringWithFormat(" (%@)", *detail->airlineCallsign());
        }
        cell->valueLabel()->setText(text);
        cell->valueLabel()->setNumberOfLines(1);
    } else {
        cell->headerLabel()->setText(NSLocalizedString("Owner"));
        cell->valueLabel()->setText(detail && detail->airlineOperator() ? *detail->airlineOperator() : na);
    }
    return cell;
}
