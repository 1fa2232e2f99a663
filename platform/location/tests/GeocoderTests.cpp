#include "foundation/NSError.h"
#include "location/CLGeocoder.h"
#include "testing/Drain.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

namespace {

class GeocoderTest : public ::testing::Test {
protected:
    void SetUp() override { CLGeocoder::setPlaceDataPath(VX_TEST_DIR "/fixtures/cities.csv"); }
    void TearDown() override
    {
        drainAll();
        CLGeocoder::setPlaceDataPath("");
    }

    struct Answer {
        int calls { 0 };
        std::vector<Ref<CLPlacemark>> placemarks;
        Ref<NSError> error;
    };
    static CLGeocoder::CompletionHandler recordInto(const std::shared_ptr<Answer>& answer)
    {
        return [answer](const std::vector<Ref<CLPlacemark>>& placemarks, const Ref<NSError>& error) {
            ++answer->calls;
            answer->placemarks = placemarks;
            answer->error = error;
        };
    }
};

} // namespace

TEST_F(GeocoderTest, FindsPlacesByNameAndCountry)
{
    struct Case {
        const char* address;
        std::vector<std::string> expected; // "name/CC" in answer order; empty means "no result"
    };
    const Case cases[] {
        { "Paris", { "Paris/FR", "Paris/US" } },
        { "  paris , us ", { "Paris/US" } },
        { "Paris, France", { "Paris/FR" } },
        { "Springfield", { "Springfield/US", "Springfield/US" } },
        { "Spring", { "Spring/US" } },
        { "Springf", { "Springfield/US", "Springfield/US" } },
        { "Washington, D.C.", { "Washington, D.C./US" } },
        { "zürich", { "Zürich/CH" } },
        { "ZURICH, switzerland", { "Zürich/CH" } },
        { "Atlantis", {} },
        { "", {} },
        { "Paris, JP", {} },
    };
    auto geocoder = CLGeocoder::init();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        auto answer = std::make_shared<Answer>();
        geocoder->geocodeAddressString(c.address, recordInto(answer));
        EXPECT_TRUE(geocoder->isGeocoding());
        EXPECT_EQ(answer->calls, 0) << "answers come later, on the main queue";
        drainAll();
        EXPECT_FALSE(geocoder->isGeocoding());
        ASSERT_EQ(answer->calls, 1);
        std::vector<std::string> names;
        for (auto& placemark : answer->placemarks)
            names.push_back(placemark->name() + "/" + placemark->ISOcountryCode());
        EXPECT_EQ(names, c.expected);
        if (c.expected.empty()) {
            ASSERT_TRUE(answer->error);
            EXPECT_EQ(answer->error->domain(), kCLErrorDomain);
            EXPECT_EQ(answer->error->code(), kCLErrorGeocodeFoundNoResult);
        } else {
            EXPECT_FALSE(answer->error);
        }
    }
}

TEST_F(GeocoderTest, PlacemarksCarryCountryAndLocation)
{
    auto answer = std::make_shared<Answer>();
    CLGeocoder::init()->geocodeAddressString("Sydney", recordInto(answer));
    drainAll();
    ASSERT_EQ(answer->placemarks.size(), 1u);
    auto& placemark = answer->placemarks[0];
    EXPECT_EQ(placemark->locality(), "Sydney");
    EXPECT_EQ(placemark->country(), "Australia");
    ASSERT_TRUE(placemark->location());
    EXPECT_DOUBLE_EQ(placemark->location()->coordinate().latitude, -33.8679);
    EXPECT_DOUBLE_EQ(placemark->location()->coordinate().longitude, 151.2073);
}

TEST_F(GeocoderTest, CancellingAnswersEachRequestOnce)
{
    auto geocoder = CLGeocoder::init();
    auto first = std::make_shared<Answer>(), second = std::make_shared<Answer>(), third = std::make_shared<Answer>();
    geocoder->geocodeAddressString("Paris", recordInto(first));
    geocoder->geocodeAddressString("Sydney", recordInto(second)); // replaces the first
    drainAll();
    geocoder->geocodeAddressString("Zürich", recordInto(third));
    geocoder->cancelGeocode();
    geocoder->cancelGeocode(); // nothing left to cancel
    drainAll();

    ASSERT_EQ(first->calls, 1);
    ASSERT_TRUE(first->error);
    EXPECT_EQ(first->error->code(), kCLErrorGeocodeCanceled);
    ASSERT_EQ(second->calls, 1);
    EXPECT_FALSE(second->error);
    EXPECT_EQ(second->placemarks.size(), 1u);
    ASSERT_EQ(third->calls, 1);
    ASSERT_TRUE(third->error);
    EXPECT_EQ(third->error->code(), kCLErrorGeocodeCanceled);
    EXPECT_TRUE(third->placemarks.empty());
}

TEST_F(GeocoderTest, MissingDataAnswersNoResult)
{
    CLGeocoder::setPlaceDataPath(VX_TEST_DIR "/fixtures/no-such-file.csv");
    EXPECT_TRUE(CLGeocoder::places()->empty());
    auto answer = std::make_shared<Answer>();
    CLGeocoder::init()->geocodeAddressString("Paris", recordInto(answer));
    drainAll();
    ASSERT_EQ(answer->calls, 1);
    ASSERT_TRUE(answer->error);
    EXPECT_EQ(answer->error->code(), kCLErrorGeocodeFoundNoResult);
}
