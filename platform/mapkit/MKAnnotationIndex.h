#pragma once

#include "foundation/NSObject.h"
#include "mapkit/MKAnnotation.h"
#include "mapkit/MKGeometry.h"

#include <unordered_map>
#include <vector>

// A spatial index of annotations by map point: a uniform grid of 512 x 512 cells over the world,
// each holding the annotations whose point falls in it. Annotations that are NSObjects are
// observed on "coordinate", so one that moves is re-filed as soon as it tells its observers.
// Queries cost the cells the rect covers plus the annotations in them, so they stay fast with
// tens of thousands of annotations. Main thread only (or the thread that changes coordinates).
class MKAnnotationIndex : public NSObject {
    VX_OBJECT(MKAnnotationIndex, NSObject)
public:
    explicit MKAnnotationIndex(Passkey);
    ~MKAnnotationIndex() override;
    static Ref<MKAnnotationIndex> init();

    // Adding an annotation that is already indexed, or nil, does nothing.
    void addAnnotation(const Ref<MKAnnotation>& annotation);
    void addAnnotations(const std::vector<Ref<MKAnnotation>>& annotations);
    void removeAnnotation(const Ref<MKAnnotation>& annotation);
    void removeAnnotations(const std::vector<Ref<MKAnnotation>>& annotations);
    void removeAllAnnotations();

    bool containsAnnotation(const MKAnnotation* annotation) const { return m_entries.count(annotation) != 0; }
    size_t count() const { return m_entries.size(); }
    // In insertion order.
    std::vector<Ref<MKAnnotation>> annotations() const;

    // The annotations whose map point lies in the rect (half-open, as MKMapRectContainsPoint), each
    // once. A rect reaching past the world's east or west edge also finds the annotations in the
    // part that wraps around.
    std::vector<Ref<MKAnnotation>> annotationsInMapRect(MKMapRect rect) const;

    // Re-reads an annotation's coordinate (for annotations that change without telling observers).
    void annotationCoordinateChanged(const MKAnnotation* annotation);

    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;

private:
    struct Entry {
        Ref<MKAnnotation> annotation;
        MKMapPoint point;
        uint32_t cell;
        uint64_t order;
    };
    static constexpr uint32_t kGridSide = 512;
    static uint32_t cellFor(MKMapPoint point);
    static MKMapPoint pointFor(const MKAnnotation& annotation);
    void file(Entry& entry);
    void unfile(const Entry& entry);
    void collect(MKMapRect rect, std::vector<const Entry*>& found) const;

    std::unordered_map<const MKAnnotation*, Entry> m_entries;
    std::unordered_map<uint32_t, std::vector<const MKAnnotation*>> m_cells;
    uint64_t m_nextOrder { 0 };
};
