#include "app/view-controllers/detail/KESTDetailActivityProvider.h"

#include "app/core/KESTPlane.h"
#include "foundation/NSBundle.h"
#include "foundation/NSString.h"
#include "uikit/UIActivity.h"

VX_REGISTER_CLASS(KESTDetailActivityProvider);

Value KESTDetailActivityProvider::activityViewControllerItemForActivityType(
    const Ref<UIActivityViewController>&, const std::string& activityType) const
{
    std::string reg = m_plane ? m_plane->reg() : "";
    std::string flight = m_plane ? (m_plane->fltno().empty() ? m_plane->callsign() : m_plane->fltno()) : "";
    std::string twitter
        = NSString::stringWithFormat(NSLocalizedString("Spotted! %@ (%@) using @volantrix"), reg, flight);
    std::string other = NSString::stringWithFormat(NSLocalizedString("Spotted! %@ (%@) using Volantrix"), reg, flight);
    return Value(activityType == UIActivityTypePostToTwitter ? twitter : other);
}
