#include "app/view-controllers/alerts/KESTAlertActivity.h"

#include "app/view-controllers/alerts/KESTAlertCreateViewController.h"
#include "graphics/UIImage.h"
#include "uikit/UINavigationController.h"

VX_REGISTER_CLASS(KESTAlertActivity);

Ref<UIImage> KESTAlertActivity::activityImage() const
{
    return UIImage::imageNamed("alertsListMenu");
}

Ref<UIViewController> KESTAlertActivity::activityViewController() const
{
    // Segment 4 is "Hex", alert type 2.
    auto editor = KESTAlertCreateViewController::initWithPlaceHolderTextAndIndex(m_hexCode, 4);
    editor->setManagedObjectContext(m_managedObjectContext);
    editor->setActivity(std::const_pointer_cast<KESTAlertActivity>(
        std::static_pointer_cast<const KESTAlertActivity>(shared_from_this())));
    return UINavigationController::initWithRootViewController(editor);
}
