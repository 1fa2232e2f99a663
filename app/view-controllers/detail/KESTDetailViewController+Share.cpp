// The plane detail screen's share sheet: the composed picture and the sheet's items.
#include "app/view-controllers/detail/KESTDetailViewController.h"

#include "app/core/KESTDetailServiceURLs.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTURLEscaping.h"
#include "app/view-controllers/alerts/KESTAlertActivity.h"
#include "app/view-controllers/detail/KESTDetailActivityProvider.h"
#include "app/view-controllers/detail/KESTDetailBaseViewController.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "uikit/UIActivity.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIScreen.h"

Ref<UIImage> KESTDetailViewController::composedShareImage()
{
    auto tab = std::dynamic_pointer_cast<KESTDetailBaseViewController>(selectedViewController());
    if (!tab)
        return nullptr;
    auto tabView = tab->view();
    auto table = tab->tableView();
    auto logo = UIImage::imageNamed("shareLogo");
    CGSize logoSize = logo ? logo->size() : CGSizeMake(0, 0);
    CGSize snapshot = m_mapSnapshot ? m_mapSnapshot->size() : CGSizeMake(0, 0);
    CGRect viewBounds = tabView->bounds();
    CGFloat width = viewBounds.size.width + snapshot.width;
    CGFloat height = m_mapSnapshot ? logoSize.height + snapshot.height : viewBounds.size.height + logoSize.height;
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(width, height), true, UIScreen::mainScreen()->scale());
    auto context = UIGraphicsGetCurrentContext();
    CGPoint offset = table->contentOffset();
    CGRect frame = table->frame();
    CGContextSetFillColorWithColor(context, UIColor::whiteColor()->CGColor());
    CGContextFillRect(context, CGRectMake(0, 0, width, height));
    // The whole table is laid out, not only its visible part.
    table->setContentOffset(CGPointMake(0, 0));
    table->setFrame(CGRectMake(0, 0, table->contentSize().width, table->contentSize().height));
    table->layoutIfNeeded();
    if (m_mapSnapshot)
        m_mapSnapshot->drawAtPoint(CGPointMake(0, 0));
    table->drawViewHierarchyInRectAfterScreenUpdates(
        CGRectMake(snapshot.width, 0, viewBounds.size.width, table->bounds().size.height), true);
    table->setContentOffset(offset);
    table->setFrame(frame);
    CGContextSetFillColorWithColor(context, UIColor::whiteColor()->CGColor());
    CGContextFillRect(context, CGRectMake(0, height - logoSize.height, width, logoSize.height));
    if (logo)
        logo->drawAtPoint(CGPointMake(0, height - logoSize.height));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

void KESTDetailViewController::showShareOptions()
{
    auto provider = KESTDetailActivityProvider::init();
    provider->setPlane(m_plane);
    // Add Alert opens the alert editor for this plane's address.
    auto addAlert = KESTAlertActivity::init();
    addAlert->setManagedObjectContext(m_managedObjectContext);
    addAlert->setHexCode(m_plane ? m_plane->adshex() : std::string());
    std::vector<Ref<UIActivity>> activities { addAlert };
    auto url = NSURL::URLWithString(KESTDetailServiceURLs::webSiteURL()
        + NSString::stringWithFormat("/flight/%@", KESTURLEscaping::escapedValue(m_plane ? m_plane->fltno() : "")));
    std::vector<Value> items { Value::object(provider) };
    if (auto picture = composedShareImage())
        items.push_back(Value::object(picture));
    if (url)
        items.push_back(Value::object(url));
    auto sheet = UIActivityViewController::initWithActivityItemsApplicationActivities(items, activities);
    sheet->setExcludedActivityTypes({ UIActivityTypePostToWeibo, UIActivityTypeAssignToContact, UIActivityTypePrint,
        UIActivityTypeCopyToPasteboard });
    m_lastShareSheet = sheet;
    presentViewControllerAnimatedCompletion(sheet, true, nullptr);
}
