#pragma once

#include <functional>
#include <memory>
#include <string>

class KESTMapViewController;

// The filter and alert screens of the demonstration run, written through `writePNG` (which
// renders the key window into the named file): "filters.png" (the filter list with two saved
// filters, one of them active, over the map following it), "filter-editor.png" (the editor
// with a suggestion bar) and "alerts.png" (the alert list with alerts of two types, synchronised
// with the service). `runFor` lets the application run for the given seconds. Main thread only.
bool writeFilterAndAlertScreens(const std::shared_ptr<KESTMapViewController>& screen,
    const std::function<void(double)>& runFor, const std::function<bool(const std::string&)>& writePNG);
