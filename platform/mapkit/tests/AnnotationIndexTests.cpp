#include "foundation/Value.h"
#include "mapkit/MKAnnotationIndex.h"
#include "mapkit/MKPointAnnotation.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <set>

namespace {

// An annotation that is not an NSObject: it cannot be observed, so its owner tells the index.
class PlainAnnotation : public MKAnnotation {
public:
    explicit PlainAnnotation(CLLocationCoordinate2D c)
        : m_coordinate(c)
    {
    }
    CLLocationCoordinate2D coordinate() const override { return m_coordinate; }
    void setCoordinate(CLLocationCoordinate2D c) override { m_coordinate = c; }

private:
    CLLocationCoordinate2D m_coordinate;
};

// Every annotation's map point, checked against the rect and its copies one and two worlds away.
std::set<const MKAnnotation*> bruteForce(
    const std::vector<std::pair<const MKAnnotation*, MKMapPoint>>& all, MKMapRect rect)
{
    std::set<const MKAnnotation*> found;
    const double w = kMKMapWorldSide;
    for (auto& [annotation, p] : all) {
        for (double shift : { -2 * w, -w, 0.0, w, 2 * w }) {
            if (MKMapRectContainsPoint(rect, { p.x + shift, p.y }))
                found.insert(annotation);
        }
    }
    return found;
}

std::set<const MKAnnotation*> asSet(const std::vector<Ref<MKAnnotation>>& list)
{
    std::set<const MKAnnotation*> found;
    for (auto& a : list)
        EXPECT_TRUE(found.insert(a.get()).second) << "each annotation once";
    return found;
}

} // namespace

TEST(MKAnnotationIndex, MatchesABruteForceScanOnRandomData)
{
    std::mt19937 random(20140101);
    std::uniform_real_distribution<double> latitude(-84, 84), longitude(-180, 180), unit(0, 1);
    auto index = MKAnnotationIndex::init();
    std::vector<Ref<MKPointAnnotation>> all;
    for (int i = 0; i < 30000; ++i) {
        auto annotation = MKPointAnnotation::init();
        // Half spread over the world, half crowded over Europe, where the busy cells are.
        if (i % 2)
            annotation->setCoordinate({ latitude(random), longitude(random) });
        else
            annotation->setCoordinate({ 45 + 10 * unit(random), 10 * unit(random) });
        all.push_back(annotation);
    }
    index->addAnnotations({ all.begin(), all.end() });
    index->addAnnotation(all[0]); // already there
    ASSERT_EQ(index->count(), all.size());

    // Move some after adding: the index follows their coordinate through observation.
    for (int i = 0; i < 2000; ++i)
        all[i * 7]->setCoordinate({ latitude(random), longitude(random) });
    for (int i = 0; i < 500; ++i)
        index->removeAnnotation(all[i * 13 + 1]);
    std::vector<std::pair<const MKAnnotation*, MKMapPoint>> kept;
    for (auto& a : all) {
        if (index->containsAnnotation(a.get()))
            kept.emplace_back(a.get(), MKMapPointForCoordinate(a->coordinate()));
    }
    ASSERT_EQ(kept.size(), all.size() - 500);

    const double w = kMKMapWorldSide;
    std::vector<MKMapRect> rects {
        MKMapRectWorld, MKMapRectMake(w - w / 50, w / 3, w / 20, w / 10), // across the 180th meridian eastward
        MKMapRectMake(-w / 40, w / 3, w / 20, w / 10), // and westward
        MKMapRectMake(w + w / 4, w / 4, w / 8, w / 8), // a whole world to the east
        MKMapRectMake(w / 3, 0, w * 1.5, w), // wider than the world
    };
    for (int i = 0; i < 200; ++i) {
        double size = w * std::pow(2.0, -1 - 14 * unit(random));
        rects.push_back(
            MKMapRectMake(w * (1.2 * unit(random) - 0.1), w * unit(random), size * (0.5 + unit(random)), size));
    }
    for (const auto& rect : rects) {
        SCOPED_TRACE(MKStringFromMapRect(rect));
        EXPECT_EQ(asSet(index->annotationsInMapRect(rect)), bruteForce(kept, rect));
    }
    EXPECT_TRUE(index->annotationsInMapRect(MKMapRectNull).empty());
}

TEST(MKAnnotationIndex, FollowsMovesOfObservableAndPlainAnnotations)
{
    auto index = MKAnnotationIndex::init();
    auto point = MKPointAnnotation::init();
    point->setCoordinate({ 10, 10 });
    auto plain = std::make_shared<PlainAnnotation>(CLLocationCoordinate2D { 10, 10.05 });
    index->addAnnotations({ point, plain, nullptr });
    auto around = [](double lat, double lon) {
        auto p = MKMapPointForCoordinate({ lat, lon });
        return MKMapRectMake(p.x - 100000, p.y - 100000, 200000, 200000);
    };
    EXPECT_EQ(index->annotationsInMapRect(around(10, 10)).size(), 2u);

    point->setCoordinate({ -20, 100 });
    point->setValueForKey(MKValueForCoordinate({ -30, 120 }), "coordinate");
    plain->setCoordinate({ -30, 120.05 });
    EXPECT_EQ(index->annotationsInMapRect(around(10, 10)).size(), 1u) << "the plain one is not told yet";
    index->annotationCoordinateChanged(plain.get());
    EXPECT_TRUE(index->annotationsInMapRect(around(10, 10)).empty());
    EXPECT_EQ(index->annotationsInMapRect(around(-30, 120)).size(), 2u);

    index->removeAllAnnotations();
    EXPECT_EQ(index->count(), 0u);
    point->setCoordinate({ 0, 0 }); // no longer observed: nothing happens
    EXPECT_TRUE(index->annotationsInMapRect(MKMapRectWorld).empty());

    // An index that goes away stops observing; the annotation lives on.
    index->addAnnotation(point);
    index.reset();
    point->setCoordinate({ 1, 1 });
    EXPECT_EQ(point->coordinate().latitude, 1);
}

namespace {

// Writes down every key path it is told about.
class KeyRecorder : public NSObject {
    VX_OBJECT(KeyRecorder, NSObject)
public:
    explicit KeyRecorder(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KeyRecorder> init() { return make<KeyRecorder>(); }
    void observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>&, const Value& change, void*) override
    {
        const Value& value = change.objectForKey(NSKeyValueChangeNewKey);
        seen.push_back(keyPath + "="
            + (value.isString()            ? value.string()
                    : value.isDictionary() ? "coordinate"
                                           : "nil"));
    }
    std::vector<std::string> seen;
};

} // namespace

TEST(MKPointAnnotation, TellsObserversOfCoordinateTitleAndSubtitle)
{
    auto annotation = MKPointAnnotation::init();
    auto recorder = KeyRecorder::init();
    for (auto key : { "coordinate", "title", "subtitle" })
        annotation->addObserver(recorder, key, NSObject::NSKeyValueObservingOptionNew, nullptr);
    annotation->setCoordinate({ 1, 2 });
    annotation->setTitle("VX 101");
    annotation->setSubtitle(std::nullopt);
    annotation->setValueForKey(Value("Seoul"), "subtitle");
    std::vector<std::string> expected { "coordinate=coordinate", "title=VX 101", "subtitle=nil", "subtitle=Seoul" };
    EXPECT_EQ(recorder->seen, expected);
    auto coordinate = MKCoordinateFromValue(annotation->valueForKey("coordinate"));
    ASSERT_TRUE(coordinate);
    EXPECT_EQ(coordinate->longitude, 2);
    for (auto key : { "coordinate", "title", "subtitle" })
        annotation->removeObserver(recorder, key);
}
