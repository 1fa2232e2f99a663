#pragma once

#include "app/view-controllers/common/KESTBaseTableViewController.h"
#include "services/SKStoreProductViewController.h"

#include <map>

class UIImage;

// The maker's other applications, grouped in named sections: fetched from the flight-data
// service on every appearance, keeping the applications that run on this kind of device and
// leaving out this application itself. Choosing one logs it and opens its product sheet. As the
// root of its navigation controller it has a "Close" button. Main thread only.
class KESTAppsViewController : public KESTBaseTableViewController, public SKStoreProductViewControllerDelegate {
    VX_OBJECT(KESTAppsViewController, KESTBaseTableViewController)
public:
    explicit KESTAppsViewController(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    static Ref<KESTAppsViewController> init() { return initWithNibNameBundle({}, nullptr); }
    static Ref<KESTAppsViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle);

    void viewWillAppear(bool animated) override;
    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override;
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section) override;
    std::optional<std::string> tableViewTitleForHeaderInSection(const Ref<UITableView>&, int32_t section) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(
        const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(
        const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath) override;
    void productViewControllerDidFinish(const Ref<SKStoreProductViewController>& controller) override;

    // The filtered groups; nil before the first answer.
    const Value& data() const { return m_data; }
    void setData(const Value& data) { m_data = data; }
    // The groups of a reply that run on the device word ("iphone" or "ipad"), without the
    // application of that bundle identifier.
    static Value filteredGroups(const Value& reply, const std::string& deviceWord, const std::string& bundleIdentifier);
    // The list's address for the preferred languages and the device.
    static std::string requestURL();

private:
    void fetch();
    Value app(const Ref<NSIndexPath>& indexPath) const;

    Value m_data;
    std::map<std::string, Ref<UIImage>> m_appIcons;
};

// A row of the list: subtitle style, icon 35 points square at the left, title and wrapping
// description beside it.
class KESTAppsViewCell : public UITableViewCell {
    VX_OBJECT(KESTAppsViewCell, UITableViewCell)
public:
    explicit KESTAppsViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTAppsViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier);
    void layoutSubviews() override;
};
