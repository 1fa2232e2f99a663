#include "app/view-controllers/map/KESTMapAnnotation.h"

#include <mutex>
#include <unordered_map>

VX_REGISTER_CLASS(KESTMapAnnotation);

namespace {

constexpr const char* kCoordinateKey = "coordinate";

// Annotation -> its live map annotation. Held weakly: the maps own map annotations, and the
// entry goes when the last map lets go.
std::mutex& pairingLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_map<const KESTAnnotation*, Weak<KESTMapAnnotation>>& pairings()
{
    static auto* table = new std::unordered_map<const KESTAnnotation*, Weak<KESTMapAnnotation>>();
    return *table;
}

} // namespace

KESTMapAnnotation::KESTMapAnnotation(Passkey key, Ref<KESTAnnotation> annotation)
    : NSObject(key)
    , m_annotation(std::move(annotation))
{
}

KESTMapAnnotation::~KESTMapAnnotation()
{
    std::lock_guard guard(pairingLock());
    auto it = pairings().find(m_annotation.get());
    if (it != pairings().end() && it->second.expired())
        pairings().erase(it);
}

Ref<KESTMapAnnotation> KESTMapAnnotation::forAnnotation(const Ref<KESTAnnotation>& annotation)
{
    if (!annotation)
        return nullptr;
    Ref<KESTMapAnnotation> mapAnnotation;
    {
        std::lock_guard guard(pairingLock());
        auto& slot = pairings()[annotation.get()];
        mapAnnotation = slot.lock();
        if (mapAnnotation)
            return mapAnnotation;
        mapAnnotation = make<KESTMapAnnotation>(annotation);
        slot = mapAnnotation;
    }
    annotation->addObserver(mapAnnotation, kCoordinateKey, 0, nullptr);
    return mapAnnotation;
}

Ref<KESTAnnotation> KESTMapAnnotation::annotationOf(const Ref<MKAnnotation>& annotation)
{
    if (auto* mapAnnotation = dynamic_cast<KESTMapAnnotation*>(annotation.get()))
        return mapAnnotation->m_annotation;
    return nullptr;
}

std::vector<Ref<MKAnnotation>> KESTMapAnnotation::mapAnnotationsFor(const std::vector<Ref<KESTAnnotation>>& annotations)
{
    std::vector<Ref<MKAnnotation>> result;
    result.reserve(annotations.size());
    for (const auto& annotation : annotations) {
        if (auto mapAnnotation = forAnnotation(annotation))
            result.push_back(std::move(mapAnnotation));
    }
    return result;
}

std::vector<Ref<KESTAnnotation>> KESTMapAnnotation::annotationsOf(const std::vector<Ref<MKAnnotation>>& annotations)
{
    std::vector<Ref<KESTAnnotation>> result;
    result.reserve(annotations.size());
    for (const auto& annotation : annotations) {
        if (auto own = annotationOf(annotation))
            result.push_back(std::move(own));
    }
    return result;
}

CLLocationCoordinate2D KESTMapAnnotation::coordinate() const
{
    KESTLocation location = m_annotation->coordinate();
    return { location.latitude, location.longitude };
}

std::optional<std::string> KESTMapAnnotation::title() const
{
    return m_annotation->title();
}

std::optional<std::string> KESTMapAnnotation::subtitle() const
{
    return m_annotation->subtitle();
}

void KESTMapAnnotation::textsDidChange()
{
    willChangeValueForKey("title");
    didChangeValueForKey("title");
    willChangeValueForKey("subtitle");
    didChangeValueForKey("subtitle");
}

void KESTMapAnnotation::observeValueForKeyPath(
    const std::string& keyPath, const Ref<NSObject>& object, const Value&, void*)
{
    if (keyPath != kCoordinateKey || object.get() != m_annotation.get())
        return;
    willChangeValueForKey(kCoordinateKey);
    didChangeValueForKey(kCoordinateKey);
}
