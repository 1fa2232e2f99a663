#include "app/core/KESTFilterDetail.h"

#include "app/core/KESTFilter.h"

VX_REGISTER_CLASS(KESTFilterDetail);

namespace {

const bool s_registered = [] {
    KESTFilterDetail::registerClass();
    return true;
}();

} // namespace

void KESTFilterDetail::registerClass()
{
    (void)s_registered;
    NSManagedObject::registerSubclass<KESTFilterDetail>();
}

Ref<KESTFilter> KESTFilterDetail::parentFilter()
{
    return valueForKey("parentFilter").objectAs<KESTFilter>();
}

void KESTFilterDetail::setParentFilter(const Ref<KESTFilter>& filter)
{
    setValueForKey(filter ? Value(filter) : Value(), "parentFilter");
}

const std::vector<std::string>& KESTFilterDetail::conditionKeys()
{
    static const std::vector<std::string> s_keys = { "filterAirportType", "filterDetail", "filterDetailType",
        "filterLowerLimit", "filterTitle", "filterUpperLimit" };
    return s_keys;
}
