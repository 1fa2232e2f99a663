#pragma once

#include "ar/SLKObjectDelegate.h"

#include <functional>
#include <string>
#include <vector>

class CLLocation;

// Fills the shared AR controller with generated objects around the device, for trying the kit
// without real data: one at a bearing and distance, rings at regular angles, random scatter, and
// the nearest of a table of large cities. The objects are made by a process-wide maker (the
// kit's label by default). Main thread only.
class SLKPoiFactory {
public:
    // Makes one object with a title at a location; nil refuses it.
    using Maker = std::function<Ref<SLKObjectDelegate>(const std::string& title, const Ref<CLLocation>& location)>;

    // One row of the city table.
    struct City {
        std::string name;
        int32_t population { 0 };
        std::string country;
        float longitude { 0 };
        float latitude { 0 };
    };

    static void setPoiClass(Maker maker);
    static void resetForTesting();

    static void createAtHeadingWithDistance(float bearing, float distance);
    static void createAroundUser(int32_t count);
    static void createAroundUserAtDistanceIntervalsInRows(double angleStep, double interval, int32_t rows);
    // Nothing for a step of 0 or less.
    static void createAroundUserAndOffsetAngleAtDistance(double angleStep, double offset, double distance);
    static void createRandom(int32_t count);
    // The `count` cities nearest the device (no more than the table's distinct distances).
    static void createCitiesAroundUser(int32_t count);

    // The city table, largest first, read once from the bundle's "data/ar_cities.csv".
    static const std::vector<City>& cities();

private:
    static void create(const std::string& title, double latitude, double longitude);
};
