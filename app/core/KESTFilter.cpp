#include "app/core/KESTFilter.h"

#include "app/core/KESTFilterDetail.h"
#include "foundation/NSData+Base64.h"
#include "foundation/NSJSONSerialization.h"

VX_REGISTER_CLASS(KESTFilter);

namespace {

const bool s_registered = [] {
    KESTFilter::registerClass();
    return true;
}();

} // namespace

void KESTFilter::registerClass()
{
    (void)s_registered;
    NSManagedObject::registerSubclass<KESTFilter>();
    KESTFilterDetail::registerClass();
}

std::vector<Ref<KESTFilterDetail>> KESTFilter::childFilter()
{
    std::vector<Ref<KESTFilterDetail>> details;
    Value members = valueForKey("childFilter");
    for (const auto& element : members.elements()) {
        if (auto detail = element.objectAs<KESTFilterDetail>())
            details.push_back(detail);
    }
    return details;
}

void KESTFilter::addChildFilterObject(const Ref<KESTFilterDetail>& detail)
{
    if (detail)
        addRelatedObject("childFilter", detail);
}

std::string KESTFilter::serializedObject()
{
    Value conditions = Value::mutableArray();
    for (const auto& detail : childFilter()) {
        Value condition = Value::mutableDictionary();
        for (const auto& key : KESTFilterDetail::conditionKeys()) {
            // An attribute the model gives no default and nobody set travels as null, so the
            // object keeps its six members.
            Value value = detail->valueForKey(key);
            condition.setObjectForKey(value.isNil() ? Value::null() : value, Value(key));
        }
        conditions.addObject(condition);
    }
    Value name = filterName();
    Value payload = Value::dictionary({ { Value(name.isString() ? name.stringValue() : std::string()), conditions } });
    Ref<NSError> error;
    Value data
        = NSJSONSerialization::dataWithJSONObject(payload, NSJSONSerialization::NSJSONWritingPrettyPrinted, &error);
    if (!data.isData())
        return std::string();
    return NSData_Base64::base64EncodedString(data.bytes());
}
