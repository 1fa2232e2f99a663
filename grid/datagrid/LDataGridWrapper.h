#pragma once

#include "foundation/NSObject.h"

// Base of the data grid's style objects: each owns one object of the grid engine and presents
// it under the data grid's names, so the engine always receives its own objects and every
// change made through the wrapper lands on that object. A subclass names the engine class it
// wraps; wrapping anything else (a subclass included) is a fatal grid error. Main thread only.
class LDataGridWrapper : public NSObject {
    VX_OBJECT(LDataGridWrapper, NSObject)
public:
    explicit LDataGridWrapper(Passkey key)
        : NSObject(key)
    {
    }

    // The engine class this wrapper wraps; nullptr here.
    virtual Class wrappedObjectType() const { return nullptr; }
    const Ref<NSObject>& wrappedObject() const { return m_wrappedObject; }
    // Whether instances of the wrapped type have the named operation or property.
    bool respondsToSelector(std::string_view selector) const;

protected:
    // Validates the object, then keeps it.
    void commonInitWithObjectToWrap(const Ref<NSObject>& object);
    // Keeps an object the engine already holds, of the wrapped type or a subclass of it, so
    // that what is changed through the wrapper lands on the engine's own object.
    void commonInitWithEngineObject(const Ref<NSObject>& object);
    // Stops with "Wrapped type (%@) does not match object we are trying to wrap (%@)." unless
    // the object is exactly of the wrapped type.
    void validateObjectToWrap(const Ref<NSObject>& object) const;
    // The selectors instances of the wrapped type answer, for respondsToSelector.
    virtual bool wrappedTypeRespondsToSelector(std::string_view) const { return false; }

private:
    Ref<NSObject> m_wrappedObject;
};
