#include "app/view-controllers/apps/KESTAppsViewController.h"

#include "app/core/KESTAnalyticsManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/widgets/UIViewController+BarInsets.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLocale.h"
#include "foundation/NSString.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/UIImageView+VNNetworking.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNJSONResponseSerializer.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIDevice.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

#include <cmath>

VX_REGISTER_CLASS(KESTAppsViewController);
VX_REGISTER_CLASS(KESTAppsViewCell);

namespace {

constexpr const char* kCellIdentifier = "KESTAppCell";

std::string localized(const std::string& key)
{
    return NSBundle::mainBundle()->localizedStringForKey(key, "", "");
}

std::string textOf(const Value& value)
{
    return value.isString() ? value.stringValue() : value.isNumber() ? value.description() : std::string();
}

CGFloat wrappedHeight(const std::string& text, const Ref<UIFont>& font, CGFloat width)
{
    return NSString_Drawing::boundingRectWithSize(text, CGSizeMake(width, 100000),
        NSStringDrawingUsesLineFragmentOrigin, Value::dictionary({ { NSFontAttributeName, Value(font) } }))
        .size.height;
}

} // namespace

Ref<KESTAppsViewController> KESTAppsViewController::initWithNibNameBundle(
    const std::string& nibName, const Ref<NSBundle>& bundle)
{
    auto controller = makeTableController<KESTAppsViewController>(UITableViewStylePlain, nibName, bundle);
    controller->setTitle(localized("Kestravon Apps"));
    return controller;
}

std::string KESTAppsViewController::requestURL()
{
    auto languages = NSLocale::preferredLanguages();
    std::string language = languages.empty() ? std::string("en") : languages.front();
    long device = UIDevice::currentDevice()->userInterfaceIdiom() == UIUserInterfaceIdiomPad ? 0 : 1;
    return NSString::stringWithFormat(
        "%@APPAPIv2/kestAppsInfo.php?l=%@&d=%ld", KESTLiveDataManager::serviceBaseURL(), language, device);
}

Value KESTAppsViewController::filteredGroups(
    const Value& reply, const std::string& deviceWord, const std::string& bundleIdentifier)
{
    auto groups = Value::mutableArray();
    if (!reply.isArray())
        return groups.copy();
    for (const auto& group : reply.elements()) {
        if (!group.isDictionary() || !group["apps"].isArray())
            continue;
        auto kept = Value::mutableArray();
        for (const auto& app : group["apps"].elements()) {
            if (!app.isDictionary())
                continue;
            bool runsHere = false;
            if (app["devices"].isArray()) {
                for (const auto& device : app["devices"].elements())
                    runsHere = runsHere || (device.isString() && device.stringValue() == deviceWord);
            }
            if (runsHere && textOf(app["bundleID"]) != bundleIdentifier)
                kept.addObject(app);
        }
        if (kept.count() == 0)
            continue;
        auto copy = group.mutableCopy();
        copy.setObjectForKey(kept.copy(), "apps");
        groups.addObject(copy.copy());
    }
    return groups.copy();
}

void KESTAppsViewController::viewWillAppear(bool animated)
{
    KESTBaseTableViewController::viewWillAppear(animated);
    auto navigation = navigationController();
    if (!navigation || navigation->viewControllers().size() < 2) {
        Weak<KESTAppsViewController> weak = self<KESTAppsViewController>();
        navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithTitleStyleTargetAction(
            localized("Close"), UIBarButtonItemStylePlain, self<NSObject>(), [weak](const Ref<UIBarButtonItem>&) {
                if (auto screen = weak.lock())
                    screen->close();
            }));
    }
    UIViewController_BarInsets::insetBelowNavigationBar(self<UIViewController>(), tableView());
    tableView()->setBackgroundColor(UIColor::whiteColor());
    fetch();
    KESTAnalyticsManager::sharedInstance()->logEventWithNameWithCount(NSString::stringWithFormat("%@", className()), 1);
}

void KESTAppsViewController::fetch()
{
    auto url = NSURL::URLWithString(requestURL());
    if (!url)
        return;
    bool phone = UIDevice::currentDevice()->userInterfaceIdiom() != UIUserInterfaceIdiomPad;
    auto operation = VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(url));
    operation->setResponseSerializer(VNJSONResponseSerializer::serializer());
    Weak<KESTAppsViewController> weak = self<KESTAppsViewController>();
    operation->setCompletionBlockWithSuccessFailure(
        [weak, phone](const Ref<VNHTTPRequestOperation>&, const Value& reply) {
            auto self = weak.lock();
            if (!self)
                return;
            self->m_data = filteredGroups(
                reply, phone ? "iphone" : "ipad", NSBundle::mainBundle()->bundleIdentifier().value_or(""));
            if (auto table = self->tableView())
                table->reloadData();
        },
        nullptr);
    operation->start();
}

Value KESTAppsViewController::app(const Ref<NSIndexPath>& indexPath) const
{
    if (!m_data.isArray() || !indexPath || indexPath->section() < 0 || size_t(indexPath->section()) >= m_data.count())
        return {};
    const Value& apps = m_data[size_t(indexPath->section())]["apps"];
    if (!apps.isArray() || indexPath->row() < 0 || size_t(indexPath->row()) >= apps.count())
        return {};
    return apps[size_t(indexPath->row())];
}

int32_t KESTAppsViewController::numberOfSectionsInTableView(const Ref<UITableView>&)
{
    return m_data.isArray() ? int32_t(m_data.count()) : 0;
}

int32_t KESTAppsViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section)
{
    if (!m_data.isArray() || section < 0 || size_t(section) >= m_data.count())
        return 0;
    const Value& apps = m_data[size_t(section)]["apps"];
    return apps.isArray() ? int32_t(apps.count()) : 0;
}

std::optional<std::string> KESTAppsViewController::tableViewTitleForHeaderInSection(
    const Ref<UITableView>&, int32_t section)
{
    if (!m_data.isArray() || section < 0 || size_t(section) >= m_data.count())
        return std::nullopt;
    return textOf(m_data[size_t(section)]["name"]);
}

std::optional<CGFloat> KESTAppsViewController::tableViewHeightForRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    Value description = app(indexPath)["description"];
    if (!description.isString())
        return 45;
    auto orientation = interfaceOrientation();
    bool landscape
        = orientation == UIInterfaceOrientationLandscapeLeft || orientation == UIInterfaceOrientationLandscapeRight;
    return wrappedHeight(description.stringValue(), UIFont::systemFontOfSize(14), landscape ? 360 : 225) + 45;
}

Ref<UITableViewCell> KESTAppsViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    auto cell
        = std::dynamic_pointer_cast<KESTAppsViewCell>(tableView->dequeueReusableCellWithIdentifier(kCellIdentifier));
    if (!cell)
        cell = KESTAppsViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleSubtitle, kCellIdentifier);
    cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
    Value entry = app(indexPath);
    cell->textLabel()->setText(textOf(entry["appName"]));
    cell->detailTextLabel()->setText(textOf(entry["description"]));
    std::string icon = textOf(entry["appIcon"]);
    auto cached = m_appIcons.find(icon);
    if (cached != m_appIcons.end()) {
        cell->imageView()->setImage(cached->second);
        return cell;
    }
    auto url = NSURL::URLWithString(icon);
    if (!url) {
        cell->imageView()->setImage(nullptr);
        return cell;
    }
    Weak<KESTAppsViewController> weak = self<KESTAppsViewController>();
    Weak<KESTAppsViewCell> weakCell = cell;
    UIImageView_VNNetworking::setImageWithURLRequestPlaceholderImageSuccessFailure(
        cell->imageView(), NSURLRequest::requestWithURL(url), nullptr,
        [weak, weakCell, icon](const Ref<NSURLRequest>&, const Ref<NSHTTPURLResponse>&, const Ref<UIImage>& image) {
            auto self = weak.lock();
            if (!self)
                return;
            self->m_appIcons[icon] = image;
            auto cell = weakCell.lock();
            if (!cell)
                return;
            cell->imageView()->setImage(image);
            auto table = self->tableView();
            if (auto path = table ? table->indexPathForCell(cell) : nullptr)
                table->reloadRowsAtIndexPathsWithRowAnimation({ path }, UITableViewRowAnimationNone);
        },
        nullptr);
    return cell;
}

void KESTAppsViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    tableView->deselectRowAtIndexPathAnimated(indexPath, true);
    Value entry = app(indexPath);
    KESTAnalyticsManager::sharedInstance()->logEventWithNameWithCount(textOf(entry["appName"]), 1);
    auto sheet = SKStoreProductViewController::init();
    sheet->setDelegate(this, self<NSObject>());
    sheet->loadProductWithParametersCompletionBlock(
        Value::dictionary({ { SKStoreProductParameterITunesItemIdentifier, entry["appStoreID"] } }), nullptr);
    if (auto navigation = navigationController())
        navigation->presentViewControllerAnimatedCompletion(sheet, true, nullptr);
}

void KESTAppsViewController::productViewControllerDidFinish(const Ref<SKStoreProductViewController>&)
{
    if (auto navigation = navigationController())
        navigation->dismissViewControllerAnimatedCompletion(true, nullptr);
}

Ref<KESTAppsViewCell> KESTAppsViewCell::initWithStyleReuseIdentifier(
    UITableViewCellStyle style, const std::string& reuseIdentifier)
{
    auto cell = makeCell<KESTAppsViewCell>(style, reuseIdentifier);
    cell->setBackgroundColor(UIColor::whiteColor());
    cell->textLabel()->setBackgroundColor(UIColor::clearColor());
    if (auto detail = cell->detailTextLabel()) {
        detail->setFont(UIFont::systemFontOfSize(14));
        detail->setNumberOfLines(0);
        detail->setLineBreakMode(NSLineBreakByWordWrapping);
        detail->setBackgroundColor(UIColor::clearColor());
    }
    return cell;
}

void KESTAppsViewCell::layoutSubviews()
{
    UITableViewCell::layoutSubviews();
    CGFloat width = bounds().size.width;
    imageView()->setFrame(CGRectMake(10, 10, 35, 35));
    textLabel()->setFrame(CGRectMake(55, 10, width - 95, textLabel()->frame().size.height));
    if (auto detail = detailTextLabel()) {
        CGFloat height = wrappedHeight(detail->text(), detail->font(), width - 99);
        detail->setFrame(CGRectMake(55, 35, width - 95, height));
    }
}
