#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <vector>

class KESTChartObject;
class NSError;
class NSTimer;
class VNHTTPRequestOperationManager;

// The process-wide list of aviation charts. It fetches the chart service's product list,
// builds a new chart object (and tile overlay) per product, and restores which charts the user
// switched on, and in which order, from the user defaults ("vxActiveCharts": an array of
// {"name", "order"} in list order). The list order is the order of the chart list screen's rows
// and the stacking order on the map (the first active chart on top). Main thread.
class KESTChartManager : public NSObject {
    VX_OBJECT(KESTChartManager, NSObject)
public:
    using SuccessBlock = std::function<void()>;
    using ErrorBlock = std::function<void(const Ref<NSError>&)>;

    explicit KESTChartManager(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<KESTChartManager> sharedInstance();
    // Test-only: drops the shared manager.
    static void resetSharedInstanceForTesting();

    // The address of the chart service's product list: the flight-data service's base address
    // followed by "charts/products".
    static std::string productListURL();

    // Fetches the product list; when it arrives (on the main queue) rebuilds the list and calls
    // `success`. A failed fetch, or an answer that is not an array, leaves everything as it
    // was and calls `error`; the fetch is then made again later with the same blocks (after
    // 5 s, then twice as long after each failure in a row, at most every 5 minutes), so the
    // charts still arrive when the service comes up after the application.
    void getChartsWithSuccess(SuccessBlock success, ErrorBlock error);
    // Whether a fetch is to be made again after a failure.
    bool hasPendingRetry() const { return bool(m_retryTimer); }
    // Rebuilds the list from an array of product records and restores the saved active charts.
    // A record that is not an object, or whose "bounds" does not start with four numbers, is
    // left out.
    void rebuildChartsWithProducts(const Value& products);

    // The HTTP operation manager the product list is fetched through (JSON answers).
    Ref<VNHTTPRequestOperationManager> manager();
    void setManager(Ref<VNHTTPRequestOperationManager> manager) { m_manager = std::move(manager); }

    const std::vector<Ref<KESTChartObject>>& charts() const { return m_charts; }
    std::vector<Ref<KESTChartObject>>& mutableCharts() { return m_charts; }
    void setCharts(std::vector<Ref<KESTChartObject>> charts) { m_charts = std::move(charts); }
    // The active charts, in list order.
    std::vector<Ref<KESTChartObject>> activeCharts() const;

private:
    void scheduleRetry(SuccessBlock success, ErrorBlock error);

    Ref<VNHTTPRequestOperationManager> m_manager;
    std::vector<Ref<KESTChartObject>> m_charts;
    // The next fetch after a failure, and how long the one after it waits.
    Ref<NSTimer> m_retryTimer;
    double m_retryDelay { 0 };
};
