#pragma once

#include "app/application/KESTAppDelegate.h"
#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "foundation/Clock.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

// Simulated traffic gathered round London Heathrow at a fixed moment, as the map tests use it.
inline ServiceSimulator::Options heathrowTraffic(uint64_t seed, int aircraft)
{
    ServiceSimulator::Options options;
    options.seed = seed;
    options.aircraft = aircraft;
    options.hotspot = std::array<double, 2> { 51.47, -0.45 };
    options.fixedTime = Clock::wallTime();
    return options;
}

// Lets the loopback answers arrive: the network thread runs in real time, so the virtual clock
// moves in small steps with the queues drained between them.
inline void settleLoopback(ScopedVirtualClock& clock)
{
    for (int i = 0; i < 20; ++i) {
        drainAll();
        clock.advance(0.05);
    }
    drainAll();
}

// The application launched as the system launches it, and the map screen it opens on. On a
// failure `screen` is empty and the failure is already reported.
struct LaunchedApp {
    Ref<KESTAppDelegate> delegate;
    Ref<UIApplication> application;
    Ref<KESTMapContainerViewController> container;
    Ref<KESTAppleMapViewController> screen;
};

inline LaunchedApp launchOntoTheMap()
{
    LaunchedApp app;
    app.delegate = KESTAppDelegate::init();
    app.application = UIApplicationHost::launchWithDelegate(app.delegate);
    EXPECT_TRUE(app.application);
    if (!app.application)
        return app;
    app.container
        = std::dynamic_pointer_cast<KESTMapContainerViewController>(app.delegate->window()->rootViewController());
    EXPECT_TRUE(app.container);
    if (app.container)
        app.screen = std::dynamic_pointer_cast<KESTAppleMapViewController>(app.container->mapViewController());
    EXPECT_TRUE(app.screen);
    return app;
}

// Centres the map on Heathrow at `zoom` and lets the first polls for that view arrive.
inline void showHeathrowAndPoll(const LaunchedApp& app, ScopedVirtualClock& clock, double zoom)
{
    MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(app.screen->mapView(), { 51.47, -0.45 }, zoom, false);
    settleLoopback(clock);
    clock.advance(1);
    settleLoopback(clock);
}
