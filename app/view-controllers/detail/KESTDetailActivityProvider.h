#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>

class KESTPlane;
class UIActivityViewController;

// The text item of the plane detail screen's share sheet: "Spotted! <registration> (<flight>)"
// with the posting service's handle for that service and the product's name for every other
// activity; the flight is the flight number, or the callsign when there is none. Main thread
// only.
class KESTDetailActivityProvider : public NSObject {
    VX_OBJECT(KESTDetailActivityProvider, NSObject)
public:
    explicit KESTDetailActivityProvider(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KESTDetailActivityProvider> init() { return make<KESTDetailActivityProvider>(); }

    const Ref<KESTPlane>& plane() const { return m_plane; }
    void setPlane(Ref<KESTPlane> plane) { m_plane = std::move(plane); }

    // An empty text: the item is text.
    Value activityViewControllerPlaceholderItem(const Ref<UIActivityViewController>&) const
    {
        return Value(std::string());
    }
    Value activityViewControllerItemForActivityType(
        const Ref<UIActivityViewController>&, const std::string& activityType) const;

private:
    Ref<KESTPlane> m_plane;
};
