#include "app/view-controllers/detail/KESTDetailBaseViewController.h"

#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "graphics/UIImage.h"
#include "uikit/UITabBarController.h"
#include "uikit/UITabBarItem.h"

VX_REGISTER_CLASS(KESTDetailBaseViewController);

void KESTDetailBaseViewController::loadView()
{
    KESTBaseTableViewController::loadView();
    if (m_separatorNone)
        tableView()->setSeparatorStyle(UITableViewCellSeparatorStyleNone);
}

void KESTDetailBaseViewController::reloadLater()
{
    Weak<KESTDetailBaseViewController> weak = self<KESTDetailBaseViewController>();
    dispatch_async(dispatch_get_main_queue(), [weak] {
        if (auto tab = weak.lock())
            tab->tableView()->reloadData();
    });
}

void KESTDetailBaseViewController::refreshRequested()
{
    reloadLater();
}

void KESTDetailBaseViewController::metadataDidUpdate()
{
    reloadLater();
}

Ref<KESTDetailViewController> KESTDetailBaseViewController::detailVC() const
{
    return std::dynamic_pointer_cast<KESTDetailViewController>(tabBarController());
}

void KESTDetailBaseViewController::close()
{
    if (auto detail = detailVC())
        detail->close();
}

void KESTDetailBaseViewController::viewWillAppear(bool animated)
{
    KESTBaseTableViewController::viewWillAppear(animated);
    auto table = tableView();
    CGFloat bar = 0;
    if (auto tabs = tabBarController(); tabs && tabs->tabBar())
        bar = tabs->tabBar()->frame().size.height;
    table->setContentInset(UIEdgeInsetsMake(0, 0, bar, 0));
    table->setScrollIndicatorInsets(UIEdgeInsetsMake(0, 0, bar, 0));
}

void KESTDetailBaseViewController::installTabBarItem(
    const std::string& title, const std::string& image, const std::string& selectedImage)
{
    std::string localized = NSLocalizedString(title);
    setTitle(localized);
    auto original = [](const std::string& name) {
        auto picture = UIImage::imageNamed(name);
        return picture ? picture->imageWithRenderingMode(UIImageRenderingModeAlwaysOriginal) : nullptr;
    };
    setTabBarItem(UITabBarItem::initWithTitleImageSelectedImage(localized, original(image), original(selectedImage)));
}
