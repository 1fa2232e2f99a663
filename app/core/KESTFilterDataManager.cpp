#include "app/core/KESTFilterDataManager.h"

#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSError.h"
#include "foundation/ThreadChecks.h"
#include "graphics/CGContext.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"

VX_REGISTER_CLASS(KESTFilterDataManager);

KESTFilterDataManager::KESTFilterDataManager(Passkey key)
    : NSObject(key)
{
}

Ref<KESTFilterDataManager> KESTFilterDataManager::sharedInstance()
{
    static const Ref<KESTFilterDataManager> s_instance = make<KESTFilterDataManager>();
    return s_instance;
}

Ref<NSPredicate> KESTFilterDataManager::predicate() const
{
    std::lock_guard guard(m_lock);
    return m_predicate;
}

void KESTFilterDataManager::setPredicate(Ref<NSPredicate> predicate)
{
    std::lock_guard guard(m_lock);
    m_predicate = std::move(predicate);
}

void KESTFilterDataManager::setManagedObjectContext(Ref<NSManagedObjectContext> context)
{
    {
        std::lock_guard guard(m_lock);
        m_managedObjectContext = std::move(context);
    }
    recacheFilters();
}

void KESTFilterDataManager::recacheFilters()
{
    Value active = filtersIncludingInactive(false);
    if (active.isArray() && active.count() > 0)
        return;
    setPredicate(nullptr);
}

Value KESTFilterDataManager::filtersIncludingInactive(bool includingInactive) const
{
    auto context = managedObjectContext();
    if (!context)
        return Value();
    auto request = NSFetchRequest::fetchRequestWithEntityName("KESTFilter");
    if (!includingInactive)
        request->setPredicate(NSPredicate::predicateWithFormat("(filterActive = YES)"));
    Value result;
    context->performBlockAndWait([&] {
        Ref<NSError> error;
        result = context->executeFetchRequest(request, &error);
        if (error)
            result = Value();
    });
    return result;
}

Ref<UIImage> KESTFilterDataManager::filterIconWithBadge() const
{
    assertIsMainThread();
    auto icon = UIImage::imageNamed("filterListMenu");
    Value active = filtersIncludingInactive(false);
    size_t count = active.isArray() ? active.count() : 0;
    if (!icon || count == 0)
        return icon;

    // A red disc with the count in white, at the icon's top right corner.
    CGSize size = icon->size();
    std::string text = std::to_string(count);
    auto font = UIFont::boldSystemFontOfSize(10);
    Value attributes
        = Value::dictionary({ { Value("NSFont"), Value(font) }, { Value("NSColor"), Value(UIColor::whiteColor()) } });
    CGSize textSize = NSString_Drawing::sizeWithAttributes(text, attributes);
    CGFloat diameter = std::max(textSize.height, textSize.width + 6);
    CGRect badge = CGRectMake(size.width - diameter, 0, diameter, textSize.height);
    UIGraphicsBeginImageContextWithOptions(size, false, icon->scale());
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return icon;
    icon->drawInRect(CGRectMake(0, 0, size.width, size.height));
    CGContextSetRGBFillColor(context, 0.85f, 0.1f, 0.1f, 1);
    CGContextFillEllipseInRect(context, badge);
    NSString_Drawing::drawAtPoint(
        text, CGPointMake(badge.origin.x + (diameter - textSize.width) / 2, badge.origin.y), attributes);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image ? image : icon;
}

Ref<NSManagedObjectContext> KESTFilterDataManager::managedObjectContext() const
{
    std::lock_guard guard(m_lock);
    return m_managedObjectContext;
}
