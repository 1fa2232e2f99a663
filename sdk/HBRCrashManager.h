#pragma once

#include "crashreporter/HBRPMCrashReporter.h"
#include "foundation/NSException.h"
#include "foundation/Value.h"
#include "net/NSURLConnection.h"
#include "sdk/HBRCrashManagerDelegate.h"
#include "sdk/HBRHarborBaseManager.h"
#include "sdk/HBRHarborSDK.h"
#include "uikit/UIAlertView.h"

#include <functional>
#include <string>
#include <vector>

class NSFileManager;

// How the crash manager sends pending crash reports.
enum HBRCrashManagerStatus : int32_t {
    HBRCrashManagerStatusDisabled = 0, // looks for no pending report
    HBRCrashManagerStatusAlwaysAsk = 1, // asks the user first
    HBRCrashManagerStatusAutoSend = 2, // sends without asking
};

// Joins the in-process crash reporter to the service. Once per process it enables the reporter;
// after a crash it keeps the pending log as a stored report with its meta data; each time the
// application becomes active it scans the stored reports and asks the user or sends them as one
// XML document. Reports are deleted only once the service accepted (or refused) them. Main
// thread only.
class HBRCrashManager : public HBRHarborBaseManager, public NSURLConnectionDelegate, public UIAlertViewDelegate {
    VX_OBJECT(HBRCrashManager, HBRHarborBaseManager)
public:
    explicit HBRCrashManager(Passkey key)
        : HBRHarborBaseManager(key)
    {
    }
    ~HBRCrashManager() override;

    // A report file larger than this is set aside unread.
    static constexpr size_t kMaximumReportSize = 8 * 1024 * 1024;

    int32_t crashManagerStatus() const { return m_crashManagerStatus; }
    // Stores the mode and writes it to the user defaults.
    void setCrashManagerStatus(int32_t status);
    void startManager() override;
    void setCrashCallbacks(const PMCrashReporterCallbacks* callbacks) { m_crashCallBacks = callbacks; }

    HBRCrashManagerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(HBRCrashManagerDelegate* delegate, Weak<NSObject> owner) { m_delegate = { delegate, owner }; }
    bool isMachExceptionHandlerEnabled() const { return m_enableMachExceptionHandler; }
    void setEnableMachExceptionHandler(bool value) { m_enableMachExceptionHandler = value; }
    bool shouldShowAlwaysButton() const { return m_showAlwaysButton; }
    void setShowAlwaysButton(bool value) { m_showAlwaysButton = value; }
    bool didCrashInLastSession() const { return m_didCrashInLastSession; }
    double timeintervalCrashInLastSessionOccured() const { return m_timeintervalCrashInLastSessionOccured; }
    NSUncaughtExceptionHandler exceptionHandler() const { return m_exceptionHandler; }
    void setExceptionHandler(NSUncaughtExceptionHandler handler) { m_exceptionHandler = handler; }
    const Ref<HBRPMCrashReporter>& pmCrashReporter() const { return m_pmCrashReporter; }
    void setPmCrashReporter(Ref<HBRPMCrashReporter> reporter) { m_pmCrashReporter = std::move(reporter); }
    const std::string& crashesDir() const { return m_crashesDir; }
    const std::vector<std::string>& crashFiles() const { return m_crashFiles; }
    const Value& approvedCrashReports() const { return m_approvedCrashReports; }
    bool isSendingInProgress() const { return m_sendingInProgress; }
    bool isSetup() const { return m_isSetup; }

    // Once per process: whether a tracer is attached.
    bool isDebuggerAttached();
    // Stops the process with a trap outside store builds.
    void generateTestCrash();

    std::string userIDForCrashReport();
    std::string userNameForCrashReport();
    std::string userEmailForCrashReport();
    bool hasPendingCrashReport();
    bool hasNonApprovedCrashReports() const;
    void cleanCrashReports();
    void saveSettings();
    void loadSettings();
    void handleCrashReport();
    void triggerDelayedProcessing();
    void invokeDelayedProcessing();
    // Builds the XML document of every pending report and posts it.
    void sendCrashReports();
    void postXML(const std::string& xml);
    // The "<crash>" element of one report (exposed for tests).
    std::string crashElementForReport(const class HBRPMCrashReport& report, const std::string& fileName,
        const std::string& log, const std::string& userID, const std::string& userName, const std::string& userEmail,
        const std::string& applicationLog) const;

    // UIAlertViewDelegate
    void alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alert, int32_t buttonIndex) override;

    // NSURLConnectionDelegate (main run loop)
    void connectionDidReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>& response) override;
    void connectionDidReceiveData(const Ref<NSURLConnection>&, const Value& data) override;
    void connectionDidFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error) override;
    void connectionDidFinishLoading(const Ref<NSURLConnection>&) override;

    // Test seams: how the reporter is made and enabled (the defaults make and enable the real
    // one, which installs signal handlers), and the once-per-process guards.
    using ReporterFactory = std::function<Ref<HBRPMCrashReporter>(const HBRPMCrashReporterConfig&)>;
    using ReporterEnabler = std::function<bool(HBRPMCrashReporter&, Ref<NSError>*)>;
    static void setReporterFactoryForTesting(ReporterFactory factory);
    static void setReporterEnablerForTesting(ReporterEnabler enabler);
    static void setDebuggerAttachedForTesting(std::optional<bool> attached);
    static void resetForTesting();

    // Text for one CDATA section: repaired as HBRXMLSafeText does, with "]]>" split.
    static std::string escapeCDATA(const std::string& text);
    // Text for a value outside CDATA: repaired as HBRXMLSafeText does, with & < > " ' escaped.
    static std::string escapeXML(const std::string& text);

protected:
    void init() override;

private:
    void setupReporter();
    void removeReportAtPath(const std::string& path);
    void finishSending();
    std::string keychainKey(const std::string& fileName, const char* item) const;

    Value m_approvedCrashReports;
    std::vector<std::string> m_crashFiles;
    std::string m_crashesDir;
    std::string m_settingsFile;
    std::string m_analyzerInProgressFile;
    Ref<NSFileManager> m_fileManager;
    const PMCrashReporterCallbacks* m_crashCallBacks { nullptr };
    Value::Bytes m_responseData;
    int32_t m_statusCode { 200 };
    Ref<NSURLConnection> m_urlConnection;
    bool m_sendingInProgress { false };
    bool m_isSetup { false };
    Ref<NSObject> m_appDidBecomeActiveObserver;
    Ref<NSObject> m_networkDidBecomeReachableObserver;
    bool m_enableMachExceptionHandler { false };
    bool m_showAlwaysButton { true };
    bool m_didCrashInLastSession { false };
    HBRDelegateRef<HBRCrashManagerDelegate> m_delegate;
    int32_t m_crashManagerStatus { HBRCrashManagerStatusAlwaysAsk };
    NSUncaughtExceptionHandler m_exceptionHandler { nullptr };
    Ref<HBRPMCrashReporter> m_pmCrashReporter;
    double m_timeintervalCrashInLastSessionOccured { -1.0 };
};
