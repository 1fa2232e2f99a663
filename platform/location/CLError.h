#pragma once

#include <cstdint>

// Error domain and codes of the location services.
inline constexpr const char* kCLErrorDomain = "kCLErrorDomain";

enum CLError : int32_t {
    kCLErrorLocationUnknown = 0,
    kCLErrorDenied = 1,
    kCLErrorNetwork = 2,
    kCLErrorHeadingFailure = 3,
    kCLErrorGeocodeFoundNoResult = 8,
    kCLErrorGeocodeFoundPartialResult = 9,
    kCLErrorGeocodeCanceled = 10,
};

enum CLAuthorizationStatus : int32_t {
    kCLAuthorizationStatusNotDetermined = 0,
    kCLAuthorizationStatusRestricted = 1,
    kCLAuthorizationStatusDenied = 2,
    kCLAuthorizationStatusAuthorized = 3,
};

enum CLDeviceOrientation : int32_t {
    CLDeviceOrientationUnknown = 0,
    CLDeviceOrientationPortrait = 1,
    CLDeviceOrientationPortraitUpsideDown = 2,
    CLDeviceOrientationLandscapeLeft = 3,
    CLDeviceOrientationLandscapeRight = 4,
    CLDeviceOrientationFaceUp = 5,
    CLDeviceOrientationFaceDown = 6,
};
