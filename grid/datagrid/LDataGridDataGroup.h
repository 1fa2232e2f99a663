#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <vector>

// One section of grouped data: the value its items share in the group property, and the items
// in the order of the data. Main thread only.
class LDataGridDataGroup : public NSObject {
    VX_OBJECT(LDataGridDataGroup, NSObject)
public:
    LDataGridDataGroup(Passkey key, Value groupValue, std::vector<Ref<NSObject>> items)
        : NSObject(key)
        , m_propertyValue(std::move(groupValue))
        , m_items(std::move(items))
    {
    }
    static Ref<LDataGridDataGroup> initWithGroupValueItems(Value groupValue, std::vector<Ref<NSObject>> items)
    {
        return make<LDataGridDataGroup>(std::move(groupValue), std::move(items));
    }

    const Value& groupValue() const { return m_propertyValue; }
    void setGroupValue(Value value) { m_propertyValue = std::move(value); }
    const std::vector<Ref<NSObject>>& items() const { return m_items; }
    std::vector<Ref<NSObject>>& mutableItems() { return m_items; }
    void setItems(std::vector<Ref<NSObject>> items) { m_items = std::move(items); }

private:
    Value m_propertyValue;
    std::vector<Ref<NSObject>> m_items;
};
