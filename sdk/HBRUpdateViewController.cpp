#include "sdk/HBRUpdateViewController.h"

#include "foundation/NSBundle.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "graphics/CALayer.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "sdk/HBRAppVersionMetaInfo.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "sdk/HBRUpdateManager.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplication.h"
#include "uikit/UIButton.h"
#include "uikit/UIDevice.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

VX_REGISTER_CLASS(HBRUpdateViewController);

namespace {
// Text shown as text inside a page: & < > " ' escaped.
std::string escapedHTML(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

constexpr const char* HBRLogClassName = "HBRUpdateViewController";

Ref<UIColor> grey(int level)
{
    return UIColor::colorWithRedGreenBlueAlpha(level / 255.0f, level / 255.0f, level / 255.0f, 1);
}

const char* const kObservedKeys[] = { "checkInProgress", "updateAvailable", "appVersions" };

std::string versionName(const Ref<HBRAppVersionMetaInfo>& version)
{
    return version && version->name().isString() ? version->name().string() : std::string();
}

} // namespace

Ref<HBRUpdateViewController> HBRUpdateViewController::initWithModalStyle(bool modal)
{
    auto screen = initWithStyleModal<HBRUpdateViewController>(UITableViewStylePlain, modal);
    if (auto harbor = HBRHarborManager::existingSharedHarborManager()) {
        screen->m_updateManager = harbor->updateManager();
        screen->m_isAppStoreEnvironment = harbor->isAppStoreEnvironment();
    }
    screen->setTitle(HBRLocalizedString(std::string("UpdateScreenTitle")));
    return screen;
}

HBRUpdateViewController::~HBRUpdateViewController()
{
    if (m_becomeActiveObserver)
        NSNotificationCenter::defaultCenter()->removeObserver(m_becomeActiveObserver);
}

Ref<UIColor> HBRUpdateViewController::backgroundColor() const
{
    return HBRHarborBaseManager::isPreiOS7Environment() ? grey(235) : UIColor::whiteColor();
}

std::string HBRUpdateViewController::iconNameForDevice()
{
    auto bundle = NSBundle::mainBundle();
    std::vector<std::string> names;
    Value files = bundle->objectForInfoDictionaryKey("CFBundleIconFiles");
    if (!files.isArray()) {
        Value icons = bundle->objectForInfoDictionaryKey("CFBundleIcons");
        if (icons.isDictionary())
            files = icons["CFBundlePrimaryIcon"]["CFBundleIconFiles"];
    }
    for (const auto& name : files.elements())
        if (name.isString())
            names.push_back(name.string());
    if (names.empty()) {
        Value single = bundle->objectForInfoDictionaryKey("CFBundleIconFile");
        return single.isString() ? single.string() : std::string("Icon.png");
    }
    bool retina = UIScreen::mainScreen()->scale() == 2;
    bool pad = UIDevice::currentDevice()->userInterfaceIdiom() == UIUserInterfaceIdiomPad;
    for (const auto& name : names) {
        auto image = UIImage::imageNamed(name);
        if (!image)
            continue;
        int height = int(image->size().height);
        bool suits = !pad ? (retina ? height == 114 || height == 120 : height == 57)
                          : (retina ? height == 144 || height == 152 : height == 72 || height == 76);
        if (suits)
            return name;
    }
    return names.back();
}

void HBRUpdateViewController::viewDidLoad()
{
    HBRHarborBaseViewController::viewDidLoad();
    Weak<HBRUpdateViewController> weak = self<HBRUpdateViewController>();
    m_becomeActiveObserver = NSNotificationCenter::defaultCenter()->addObserverForName(
        std::string(UIApplicationDidBecomeActiveNotification), nullptr, nullptr, [weak](const Ref<NSNotification>&) {
            if (auto screen = weak.lock())
                screen->didBecomeActive();
        });
    if (auto manager = updateManager()) {
        for (const char* key : kObservedKeys)
            manager->addObserver(self<NSObject>(), key, 0, nullptr);
        m_kvoRegistered = true;
    }

    auto table = tableView();
    table->setTableDelegate(this, self<NSObject>());
    table->setDataSource(this, self<NSObject>());
    CGFloat width = view()->frame().size.width;
    table->setBackgroundColor(grey(245));
    table->setSeparatorStyle(UITableViewCellSeparatorStyleNone);
    // Pulling down shows grey above the header.
    auto backdrop = UIView::initWithFrame(CGRectMake(0, -501, width, 600));
    backdrop->setBackgroundColor(grey(245));
    backdrop->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    table->addSubview(backdrop);

    m_appStoreHeader = HBRAppStoreHeader::initWithFrame(CGRectMake(0, 0, width, 99));
    m_appStoreHeader->setStyle(HBRHarborBaseManager::isPreiOS7Environment() ? 0 : 1);
    updateAppStoreHeader();
    auto icon = UIImage::imageNamed(iconNameForDevice());
    if (icon)
        m_appStoreHeader->setIconImage(icon);
    table->setTableHeaderView(m_appStoreHeader);

    uint32_t style = HBRHarborBaseManager::isPreiOS7Environment() ? 0 : 1;
    m_appStoreButton = HBRStoreButton::initWithPaddingStyle(CGPointMake(5, 58), style);
    m_appStoreButton->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
    m_appStoreButton->setButtonDelegate(this, self<NSObject>());
    m_appStoreHeader->addSubview(m_appStoreButton);
    m_appStoreButton->setButtonData(HBRStoreButtonData::dataWithLabelEnabled("", false));
    m_appStoreButton->alignToSuperview();
    setAppStoreButtonStateAnimated(Check, false);
}

void HBRUpdateViewController::updateAppStoreHeader()
{
    auto manager = updateManager();
    if (!manager || !m_appStoreHeader)
        return;
    m_appStoreHeader->setHeaderText(versionName(manager->newestAppVersion()));
    m_appStoreHeader->setSubHeaderText(manager->companyName().value_or(""));
}

void HBRUpdateViewController::viewWillAppear(bool animated)
{
    if (m_isAppStoreEnvironment)
        m_appStoreButtonState = Offline;
    else if (m_mandatoryUpdate)
        navigationItem()->setLeftBarButtonItem(nullptr);
    HBRHarborBaseViewController::viewWillAppear(animated);
    if (auto manager = updateManager())
        manager->setCurrentHarborViewController(self<UIViewController>());
    redrawTableView();
}

void HBRUpdateViewController::viewWillDisappear(bool animated)
{
    if (auto manager = updateManager())
        manager->setCurrentHarborViewController(nullptr);
    HBRHarborBaseViewController::viewWillDisappear(animated);
}

void HBRUpdateViewController::setAppStoreButtonStateAnimated(uint32_t state, bool animated)
{
    m_appStoreButtonState = state;
    static const char* const labels[] = { "UpdateButtonOffline", "UpdateButtonCheck", "UpdateButtonSearching",
        "UpdateButtonUpdate", "UpdateButtonInstalling" };
    if (state > Installing || !m_appStoreButton)
        return;
    bool enabled = state == Check || state == Update;
    m_appStoreButton->setButtonDataAnimated(
        HBRStoreButtonData::dataWithLabelEnabled(HBRLocalizedString(std::string(labels[state])), enabled), animated);
}

void HBRUpdateViewController::restoreStoreButtonStateAnimated(bool animated)
{
    auto manager = updateManager();
    if (m_isAppStoreEnvironment)
        setAppStoreButtonStateAnimated(Offline, animated);
    else if (manager && manager->isUpdateAvailable())
        setAppStoreButtonStateAnimated(Update, animated);
    else
        setAppStoreButtonStateAnimated(Check, animated);
}

void HBRUpdateViewController::storeButtonFired(HBRStoreButton&)
{
    auto manager = updateManager();
    if (!manager)
        return;
    switch (m_appStoreButtonState) {
    case Check:
        manager->checkForUpdateShowFeedback(true);
        break;
    case Update:
        if (manager->initiateAppDownload())
            setAppStoreButtonStateAnimated(Installing, true);
        break;
    default:
        break;
    }
}

void HBRUpdateViewController::didBecomeActive()
{
    auto manager = updateManager();
    if (m_appStoreButtonState == Installing)
        setAppStoreButtonStateAnimated(Update, true);
    else if (!manager || !manager->isCheckInProgress())
        restoreStoreButtonStateAnimated(true);
}

void HBRUpdateViewController::observeValueForKeyPath(
    const std::string& keyPath, const Ref<NSObject>& object, const Value&, void*)
{
    if (!isViewLoaded() || !view()->window())
        return;
    auto manager = updateManager();
    if (keyPath == "webViewSize") {
        tableView()->reloadData();
        realignPreviousVersionButton();
    } else if (keyPath == "checkInProgress") {
        if (manager && manager->isCheckInProgress())
            setAppStoreButtonStateAnimated(Searching, true);
        else
            restoreStoreButtonStateAnimated(true);
    } else if (keyPath == "updateAvailable") {
        restoreStoreButtonStateAnimated(true);
    } else if (keyPath == "appVersions") {
        redrawTableView();
    }
    (void)object;
}

// Rows

void HBRUpdateViewController::dropCells()
{
    for (const auto& cell : m_cells)
        cell->removeObserver(self<NSObject>(), "webViewSize");
    m_cells.clear();
}

void HBRUpdateViewController::configureWebCell(
    const Ref<HBRWebTableViewCell>& cell, const Ref<HBRAppVersionMetaInfo>& version)
{
    auto manager = updateManager();
    bool newest = manager && !manager->appVersions().empty() && manager->appVersions().front() == version;
    std::string detail;
    if (version->date().isDate())
        detail = version->dateString();
    if (version->size().isNumber())
        detail += (detail.empty() ? "" : " - ") + version->sizeInMB();
    std::string installed;
    if (manager && version->versionText() == manager->currentAppVersion())
        installed = NSString::stringWithFormat(
            "<span style=\"float:right;\"><b>%@</b></span>", HBRLocalizedString(std::string("UpdateInstalled")));
    bool hasNotes = version->notes().isString() && !version->notes().string().empty();
    std::string content;
    if (newest && !hasNotes) {
        const char* style = HBRHarborBaseManager::isPreiOS7Environment()
            ? "min-height:200px;vertical-align:middle;text-align:center;"
            : "min-height:130px;vertical-align:middle;text-align:center;";
        content = NSString::stringWithFormat("<div style=\"%@\">%@</div>", std::string(style),
            HBRLocalizedString(std::string("UpdateNoReleaseNotesAvailable")));
    } else {
        // The notes are HTML by design; the version text and the detail line are text.
        content = NSString::stringWithFormat("<p><b>%@</b>%@<br/><small>%@</small></p><p>%@</p>",
            escapedHTML(version->versionString()), installed, escapedHTML(detail),
            newest ? version->notes().string() : version->notesOrEmptyString());
    }
    cell->setWebViewContent(content);
    cell->setCellBackgroundColor(backgroundColor());
    cell->addWebView();
    cell->textLabel()->setText("");
    cell->addObserver(self<NSObject>(), "webViewSize", 0, nullptr);
}

void HBRUpdateViewController::addCellForVersion(const Ref<HBRAppVersionMetaInfo>& version)
{
    auto cell = HBRWebTableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "WebTableViewCell");
    CGRect frame = cell->frame();
    frame.size.width = view()->frame().size.width;
    cell->setFrame(frame);
    configureWebCell(cell, version);
    m_cells.push_back(cell);
}

void HBRUpdateViewController::redrawTableView()
{
    restoreStoreButtonStateAnimated(false);
    updateAppStoreHeader();
    dropCells();
    auto manager = updateManager();
    if (manager) {
        const auto& versions = manager->appVersions();
        for (size_t i = 0; i < versions.size(); ++i) {
            const auto& version = versions[i];
            if (m_showAllVersions) {
                addCellForVersion(version);
                continue;
            }
            if (version->versionText() != manager->currentAppVersion()) {
                addCellForVersion(version);
                continue;
            }
            // The running version ends the list; it shows only when it is the newest.
            if (i == 0)
                addCellForVersion(version);
            break;
        }
    }
    tableView()->reloadData();
    showHidePreviousVersionsButton();
}

void HBRUpdateViewController::showPreviousVersionAction()
{
    m_showAllVersions = true;
    auto manager = updateManager();
    if (manager) {
        const auto& versions = manager->appVersions();
        bool reached = false;
        for (size_t i = 0; i < versions.size(); ++i) {
            const auto& version = versions[i];
            if (!reached) {
                if (version->versionText() != manager->currentAppVersion())
                    continue;
                reached = true;
                if (i > 0)
                    addCellForVersion(version);
                continue;
            }
            addCellForVersion(version);
        }
    }
    tableView()->reloadData();
    tableView()->setTableFooterView(nullptr);
}

void HBRUpdateViewController::showHidePreviousVersionsButton()
{
    auto manager = updateManager();
    auto table = tableView();
    if (!manager || manager->appVersions().size() < 2 || m_showAllVersions) {
        table->setTableFooterView(nullptr);
        table->setBackgroundColor(backgroundColor());
        return;
    }
    CGFloat width = view()->frame().size.width;
    auto footer = UIView::initWithFrame(CGRectMake(0, 0, width, 50));
    footer->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    footer->setBackgroundColor(grey(245));
    auto addLine = [&](CGFloat y, const Ref<UIColor>& color) {
        auto line = UIView::initWithFrame(CGRectMake(0, y, width, 1));
        line->setBackgroundColor(color);
        line->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        footer->addSubview(line);
    };
    addLine(0, grey(214));
    addLine(1, grey(221));
    addLine(1, UIColor::whiteColor());
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setFrame(CGRectMake(0, 6, width, 44));
    button->titleLabel()->setFont(UIFont::boldSystemFontOfSize(14));
    button->setTitleForState(HBRLocalizedString(std::string("UpdateShowPreviousVersions")), UIControlStateNormal);
    button->setTitleColorForState(grey(61), UIControlStateNormal);
    button->setTitleColorForState(UIColor::whiteColor(), UIControlStateHighlighted);
    button->setBackgroundImageForState(
        HBRImageFromResourcesBundle("buttonHighlight.png", "HarborSDKResources.bundle"), UIControlStateHighlighted);
    button->setBackgroundColor(grey(245));
    button->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleTopMargin);
    button->layer()->setShadowColor(CGColorCreateGenericRGB(0, 0, 0, 1));
    button->layer()->setShadowRadius(2);
    Weak<HBRUpdateViewController> weak = self<HBRUpdateViewController>();
    button->addTargetActionForControlEvents(
        self<NSObject>(), "showPreviousVersionAction",
        [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
            if (auto screen = weak.lock())
                screen->showPreviousVersionAction();
        },
        UIControlEventTouchUpInside);
    footer->addSubview(button);
    table->setTableFooterView(footer);
    realignPreviousVersionButton();
}

void HBRUpdateViewController::realignPreviousVersionButton()
{
    auto table = tableView();
    auto footer = table->tableFooterView();
    if (!footer)
        return;
    CGFloat total = m_appStoreHeader ? m_appStoreHeader->frame().size.height : 0;
    for (size_t row = 0; row < m_cells.size(); ++row)
        total += tableViewHeightForRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(int32_t(row), 0))
                     .value_or(44);
    if (!HBRHarborBaseManager::isPreiOS7Environment()) {
        if (auto navigation = navigationController(); navigation && navigation->navigationBar())
            total += navigation->navigationBar()->frame().size.height;
        if (!UIApplication::sharedApplication()->isStatusBarHidden())
            total += 20;
    }
    CGFloat height = view()->frame().size.height;
    CGRect frame = footer->frame();
    frame.size.height = total < height - 100 ? height - total : 50;
    footer->setFrame(frame);
    table->setTableFooterView(footer);
}

int32_t HBRUpdateViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t)
{
    return int32_t(m_cells.size());
}

Ref<UITableViewCell> HBRUpdateViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    size_t row = size_t(indexPath->row());
    if (row < m_cells.size())
        return m_cells[row];
    HBRLog("Warning: cells_ and indexPath do not match? forgot calling redrawTableView?");
    return UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "WebTableViewCell");
}

std::optional<CGFloat> HBRUpdateViewController::tableViewHeightForRowAtIndexPath(
    const Ref<UITableView>& table, const Ref<NSIndexPath>& indexPath)
{
    auto manager = updateManager();
    if (manager && manager->appVersions().size() >= 2 && !m_showAllVersions)
        table->setBackgroundColor(grey(245));
    size_t row = size_t(indexPath->row());
    CGFloat height = row < m_cells.size() ? m_cells[row]->webViewSize().height : 0;
    if (height > 0)
        return height;
    table->setBackgroundColor(backgroundColor());
    return row == 0 ? 250 : 44;
}

void HBRUpdateViewController::didRotateFromInterfaceOrientation(int32_t)
{
    for (const auto& cell : m_cells)
        cell->addWebView();
}
