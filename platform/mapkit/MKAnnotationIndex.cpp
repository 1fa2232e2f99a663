#include "mapkit/MKAnnotationIndex.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kCoordinateKey = "coordinate";

Ref<NSObject> objectOf(const Ref<MKAnnotation>& annotation)
{
    return std::dynamic_pointer_cast<NSObject>(annotation);
}

} // namespace

MKAnnotationIndex::MKAnnotationIndex(Passkey key)
    : NSObject(key)
{
}

MKAnnotationIndex::~MKAnnotationIndex() = default; // observations end with the observer

Ref<MKAnnotationIndex> MKAnnotationIndex::init()
{
    return make<MKAnnotationIndex>();
}

uint32_t MKAnnotationIndex::cellFor(MKMapPoint p)
{
    const double cellSide = kMKMapWorldSide / kGridSide;
    auto column = static_cast<uint32_t>(std::clamp(std::floor(p.x / cellSide), 0.0, double(kGridSide - 1)));
    auto row = static_cast<uint32_t>(std::clamp(std::floor(p.y / cellSide), 0.0, double(kGridSide - 1)));
    return row * kGridSide + column;
}

MKMapPoint MKAnnotationIndex::pointFor(const MKAnnotation& annotation)
{
    auto coordinate = annotation.coordinate();
    if (std::isnan(coordinate.latitude) || std::isnan(coordinate.longitude))
        coordinate = { 0, 0 };
    return MKMapPointForCoordinate(coordinate);
}

void MKAnnotationIndex::file(Entry& entry)
{
    entry.point = pointFor(*entry.annotation);
    entry.cell = cellFor(entry.point);
    m_cells[entry.cell].push_back(entry.annotation.get());
}

void MKAnnotationIndex::unfile(const Entry& entry)
{
    auto it = m_cells.find(entry.cell);
    if (it == m_cells.end())
        return;
    auto& list = it->second;
    if (auto found = std::find(list.begin(), list.end(), entry.annotation.get()); found != list.end()) {
        *found = list.back();
        list.pop_back();
    }
    if (list.empty())
        m_cells.erase(it);
}

void MKAnnotationIndex::addAnnotation(const Ref<MKAnnotation>& annotation)
{
    if (!annotation || m_entries.count(annotation.get()))
        return;
    auto& entry = m_entries[annotation.get()];
    entry.annotation = annotation;
    entry.order = m_nextOrder++;
    file(entry);
    if (auto object = objectOf(annotation))
        object->addObserver(self<NSObject>(), kCoordinateKey, 0, nullptr);
}

void MKAnnotationIndex::addAnnotations(const std::vector<Ref<MKAnnotation>>& annotations)
{
    for (auto& annotation : annotations)
        addAnnotation(annotation);
}

void MKAnnotationIndex::removeAnnotation(const Ref<MKAnnotation>& annotation)
{
    if (!annotation)
        return;
    auto it = m_entries.find(annotation.get());
    if (it == m_entries.end())
        return;
    unfile(it->second);
    auto keep = it->second.annotation;
    m_entries.erase(it);
    if (auto object = objectOf(keep))
        object->removeObserver(self<NSObject>(), kCoordinateKey);
}

void MKAnnotationIndex::removeAnnotations(const std::vector<Ref<MKAnnotation>>& annotations)
{
    for (auto& annotation : annotations)
        removeAnnotation(annotation);
}

void MKAnnotationIndex::removeAllAnnotations()
{
    auto all = annotations();
    removeAnnotations(all);
}

std::vector<Ref<MKAnnotation>> MKAnnotationIndex::annotations() const
{
    std::vector<const Entry*> entries;
    entries.reserve(m_entries.size());
    for (auto& [key, entry] : m_entries)
        entries.push_back(&entry);
    std::sort(entries.begin(), entries.end(), [](auto* a, auto* b) { return a->order < b->order; });
    std::vector<Ref<MKAnnotation>> result;
    result.reserve(entries.size());
    for (auto* entry : entries)
        result.push_back(entry->annotation);
    return result;
}

void MKAnnotationIndex::collect(MKMapRect rect, std::vector<const Entry*>& found) const
{
    rect = MKMapRectIntersection(rect, MKMapRectWorld);
    if (MKMapRectIsNull(rect))
        return;
    const double cellSide = kMKMapWorldSide / kGridSide;
    auto firstColumn
        = static_cast<uint32_t>(std::clamp(std::floor(MKMapRectGetMinX(rect) / cellSide), 0.0, double(kGridSide - 1)));
    auto lastColumn
        = static_cast<uint32_t>(std::clamp(std::floor(MKMapRectGetMaxX(rect) / cellSide), 0.0, double(kGridSide - 1)));
    auto firstRow
        = static_cast<uint32_t>(std::clamp(std::floor(MKMapRectGetMinY(rect) / cellSide), 0.0, double(kGridSide - 1)));
    auto lastRow
        = static_cast<uint32_t>(std::clamp(std::floor(MKMapRectGetMaxY(rect) / cellSide), 0.0, double(kGridSide - 1)));
    uint64_t cellCount = uint64_t(lastColumn - firstColumn + 1) * (lastRow - firstRow + 1);
    auto consider = [&](const Entry& entry) {
        if (MKMapRectContainsPoint(rect, entry.point))
            found.push_back(&entry);
    };
    if (cellCount > m_cells.size()) {
        // A large rect: walking the occupied cells is cheaper than walking the covered ones.
        for (auto& [cell, list] : m_cells) {
            uint32_t row = cell / kGridSide, column = cell % kGridSide;
            if (row < firstRow || row > lastRow || column < firstColumn || column > lastColumn)
                continue;
            for (auto* key : list)
                consider(m_entries.at(key));
        }
        return;
    }
    for (uint32_t row = firstRow; row <= lastRow; ++row) {
        for (uint32_t column = firstColumn; column <= lastColumn; ++column) {
            auto it = m_cells.find(row * kGridSide + column);
            if (it == m_cells.end())
                continue;
            for (auto* key : it->second)
                consider(m_entries.at(key));
        }
    }
}

std::vector<Ref<MKAnnotation>> MKAnnotationIndex::annotationsInMapRect(MKMapRect rect) const
{
    std::vector<const Entry*> found;
    if (MKMapRectIsNull(rect) || !(rect.size.width >= 0) || !(rect.size.height >= 0))
        return {};
    if (rect.size.width >= kMKMapWorldSide) {
        collect(MKMapRectMake(0, rect.origin.y, kMKMapWorldSide, rect.size.height), found);
    } else {
        // Bring the rect's west edge into the world, then look up the wrapped remainder too.
        double shift = std::floor(rect.origin.x / kMKMapWorldSide) * kMKMapWorldSide;
        MKMapRect inWorld = MKMapRectOffset(rect, -shift, 0);
        collect(inWorld, found);
        if (MKMapRectSpans180thMeridian(inWorld))
            collect(MKMapRectRemainder(inWorld), found);
    }
    // The two parts of a wrapped rect never overlap, but keep the answer a set regardless.
    std::sort(found.begin(), found.end(), [](auto* a, auto* b) { return a->order < b->order; });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    std::vector<Ref<MKAnnotation>> result;
    result.reserve(found.size());
    for (auto* entry : found)
        result.push_back(entry->annotation);
    return result;
}

void MKAnnotationIndex::annotationCoordinateChanged(const MKAnnotation* annotation)
{
    auto it = m_entries.find(annotation);
    if (it == m_entries.end())
        return;
    unfile(it->second);
    file(it->second);
}

void MKAnnotationIndex::observeValueForKeyPath(
    const std::string& keyPath, const Ref<NSObject>& object, const Value&, void*)
{
    if (keyPath != kCoordinateKey || !object)
        return;
    if (auto annotation = std::dynamic_pointer_cast<MKAnnotation>(object))
        annotationCoordinateChanged(annotation.get());
}

VX_REGISTER_CLASS(MKAnnotationIndex);
