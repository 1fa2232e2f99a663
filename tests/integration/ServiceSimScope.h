#pragma once

#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/tests/AppTestSupport.h"
#include "sdk/HBRCrashManager.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// The simulated services on a loopback port for one test, with the application's service
// address pointed at them (the logo service follows it). On the way out the queues drain, the
// application's singletons go while the services still answer, the services stop, and every
// service address is put back as it was. Main thread only.
class ServiceSimScope {
public:
    explicit ServiceSimScope(const ServiceSimulator::Options& options)
        : m_previousBase(KESTLiveDataManager::serviceBaseURL())
    {
        // A launch in a test starts the kit's crash manager; its reporter must not install
        // signal handlers in the test process, where they would outlive the test (and catch a
        // later test's deliberate crash of a forked copy in the wrong directory).
        HBRCrashManager::setReporterEnablerForTesting([](HBRPMCrashReporter&, Ref<NSError>*) { return true; });
        std::string error;
        m_sim = ServiceSimulator::create(options, &error);
        EXPECT_TRUE(m_sim) << error;
        if (m_sim && !m_sim->start(0)) {
            ADD_FAILURE() << "the simulated services did not start";
            m_sim.reset();
        }
        KESTPlaneMarkerManager::setLogoServiceBaseURL(std::nullopt);
        if (m_sim)
            KESTLiveDataManager::setServiceBaseURL(m_sim->baseUrl());
    }
    ~ServiceSimScope()
    {
        drainAll();
        resetAppSingletonsForTesting();
        if (m_sim)
            m_sim->stop();
        KESTLiveDataManager::setServiceBaseURL(m_previousBase);
        KESTPlaneMarkerManager::setLogoServiceBaseURL(std::nullopt);
        HBRCrashManager::setReporterEnablerForTesting(nullptr);
    }
    ServiceSimScope(const ServiceSimScope&) = delete;
    ServiceSimScope& operator=(const ServiceSimScope&) = delete;

    // False when the services could not start (the failure is already reported).
    bool started() const { return m_sim != nullptr; }
    ServiceSimulator& sim() { return *m_sim; }
    std::string baseUrl() const { return m_sim ? m_sim->baseUrl() : std::string(); }

    // How many requests the services saw whose path starts with `prefix`.
    size_t requestsTo(const std::string& prefix) const
    {
        size_t count = 0;
        if (m_sim) {
            for (const auto& request : m_sim->requests())
                count += request.path.rfind(prefix, 0) == 0;
        }
        return count;
    }

private:
    std::string m_previousBase;
    std::unique_ptr<ServiceSimulator> m_sim;
};
