#pragma once

#include "KESTSettingsManager.h"
#include "NSLocale.h"
#include "NSNotificationCenter.h"
#include "NSUserDefaults.h"
#include "TemporarySandbox.h"

#include <string>

// A fresh sandbox (so empty user defaults), a pinned locale and a new settings manager for each
// test; everything is put back afterwards.
class AppTestScope {
public:
    explicit AppTestScope(const std::string& localeIdentifier = "en_US")
    {
        NSLocale::setCurrentLocaleForTesting(localeIdentifier);
        KESTSettingsManager::resetSharedInstanceForTesting();
    }
    ~AppTestScope()
    {
        KESTSettingsManager::resetSharedInstanceForTesting();
        KESTSettingsManager::setIdleTimerHook(nullptr);
        NSLocale::resetForTesting();
    }
    AppTestScope(const AppTestScope&) = delete;
    AppTestScope& operator=(const AppTestScope&) = delete;

    TemporarySandbox& sandbox() { return m_sandbox; }

private:
    TemporarySandbox m_sandbox;
};
