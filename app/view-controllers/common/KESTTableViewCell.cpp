#include "app/view-controllers/common/KESTTableViewCell.h"

#include "foundation/NSBundle.h"
#include "uikit/UINib.h"

VX_REGISTER_CLASS(KESTTableViewCell);

Ref<KESTTableViewCell> KESTTableViewCell::cellFromNibNamed(const std::string& nibName)
{
    auto objects = NSBundle_UINibLoading::loadNibNamedOwnerOptions(NSBundle::mainBundle(), nibName, nullptr, Value());
    for (const auto& object : objects) {
        if (!object.isObject())
            continue;
        auto candidate = object.objectValue();
        if (candidate && candidate->isKindOfClass(KESTTableViewCell::classObject()))
            return std::static_pointer_cast<KESTTableViewCell>(candidate);
    }
    return nullptr;
}
