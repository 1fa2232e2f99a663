#pragma once

// Forward declarations of the location and motion library's types.
class CLGeocoder;
class CLHeading;
class CLLocation;
class CLLocationManager;
class CLLocationManagerDelegate;
class CLPlacemark;
class CMAttitude;
class CMDeviceMotion;
class CMMotionManager;
class LocationSimulator;
struct CLLocationCoordinate2D;
