#include "app/view-controllers/menu/KESTMenuActivityProvider.h"

#include "app/core/KESTPlane.h"
#include "foundation/NSBundle.h"
#include "foundation/NSString.h"
#include "uikit/UIActivity.h"

VX_REGISTER_CLASS(KESTMenuActivityProvider);

Value KESTMenuActivityProvider::activityViewControllerItemForActivityType(
    const Ref<UIActivityViewController>&, const std::string& activityType) const
{
    auto bundle = NSBundle::mainBundle();
    auto localized = [&](const char* key) { return bundle->localizedStringForKey(key, "", ""); };
    std::string shortText, longText;
    if (m_plane) {
        std::string fltno = m_plane->fltno();
        std::string identifier = fltno.empty() ? m_plane->callsign() : fltno;
        std::string reg = m_plane->reg();
        shortText = NSString::stringWithFormat(localized("Spotted! %@ (%@) using @volantrix"), reg, identifier);
        longText = NSString::stringWithFormat(localized("Spotted! %@ (%@) using Volantrix"), reg, identifier);
    } else {
        shortText = NSString::stringWithFormat(localized("I'm using @volantrix!"));
        longText = NSString::stringWithFormat(localized("I'm using Volantrix!"));
    }
    return Value(activityType == UIActivityTypePostToTwitter ? shortText : longText);
}
