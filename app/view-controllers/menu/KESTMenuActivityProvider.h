#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>

class KESTPlane;
class UIActivityViewController;

// The text item of the map screen's share sheet: it names the plane when one is set, and
// otherwise is a general line about the application. The short form goes to the posting
// service with a length limit, the long form to every other activity. Main thread only.
class KESTMenuActivityProvider : public NSObject {
    VX_OBJECT(KESTMenuActivityProvider, NSObject)
public:
    explicit KESTMenuActivityProvider(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KESTMenuActivityProvider> init() { return make<KESTMenuActivityProvider>(); }

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
