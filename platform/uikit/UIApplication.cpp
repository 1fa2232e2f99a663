#include "uikit/UIApplication.h"

#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/ThreadChecks.h"
#include "graphics/UIFont.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UILocalNotification.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr const char* kDefaultContentSizeCategory = "UICTContentSizeCategoryL";

Ref<UIApplication>& applicationSlot()
{
    static Ref<UIApplication> s_application;
    return s_application;
}
} // namespace

Ref<UIApplication> UIApplication::sharedApplication()
{
    auto& slot = applicationSlot();
    if (!slot)
        slot = make<UIApplication>();
    return slot;
}

CGRect UIApplication::statusBarFrame() const
{
    constexpr CGFloat kHeight = 20;
    if (!m_delegate || m_statusBarHidden)
        return CGRectZero;
    CGRect screen = UIScreen::mainScreen()->bounds();
    CGFloat width = screen.size.width, height = screen.size.height;
    switch (m_statusBarOrientation) {
    case UIInterfaceOrientationPortraitUpsideDown:
        return CGRectMake(0, height - kHeight, width, kHeight);
    case UIInterfaceOrientationLandscapeLeft:
        return CGRectMake(0, 0, kHeight, height);
    case UIInterfaceOrientationLandscapeRight:
        return CGRectMake(width - kHeight, 0, kHeight, height);
    default:
        return CGRectMake(0, 0, width, kHeight);
    }
}

Ref<UIApplication> UIApplication::makeSharedApplicationInternal()
{
    applicationSlot() = make<UIApplication>();
    return applicationSlot();
}

void UIApplication::resetForTesting()
{
    applicationSlot() = nullptr;
    UIFont::setContentSizeCategory(kDefaultContentSizeCategory);
}

std::string UIApplication::preferredContentSizeCategory() const
{
    return UIFont::contentSizeCategory();
}

void UIApplication::setPreferredContentSizeCategory(const std::string& category)
{
    assertIsMainThread();
    if (category.empty() || category == UIFont::contentSizeCategory())
        return;
    UIFont::setContentSizeCategory(category);
    NSNotificationCenter::defaultCenter()->postNotificationName(UIContentSizeCategoryDidChangeNotification,
        self<UIApplication>(), Value::dictionary({ { Value(UIContentSizeCategoryNewValueKey), Value(category) } }));
}

void UIApplication::setDelegate(const Ref<NSObject>& delegate)
{
    assertIsMainThread();
    m_delegateObject = delegate;
    m_delegate = dynamic_cast<UIApplicationDelegate*>(delegate.get());
}

std::vector<Ref<UIWindow>> UIApplication::windows() const
{
    return UIWindow::allWindows();
}

bool UIApplication::openURL(const std::string& url)
{
    assertIsMainThread();
    m_openedURLs.push_back(url);
    return !url.empty() && m_canOpenURLAnswer;
}

bool UIApplication::canOpenURL(const std::string& url) const
{
    return !url.empty() && m_canOpenURLAnswer;
}

void UIApplication::setStatusBarOrientation(UIInterfaceOrientation orientation)
{
    assertIsMainThread();
    if (orientation == m_statusBarOrientation)
        return;
    m_statusBarOrientation = orientation;
    NSNotificationCenter::defaultCenter()->postNotificationName(
        UIApplicationDidChangeStatusBarOrientationNotification, self<UIApplication>());
}

void UIApplication::registerForRemoteNotificationTypes(UIRemoteNotificationType types)
{
    assertIsMainThread();
    m_remoteTypes = types;
    ++m_remoteRegistrations;
}

void UIApplication::scheduleLocalNotification(const Ref<UILocalNotification>& notification)
{
    assertIsMainThread();
    if (notification)
        m_scheduledNotifications.push_back(notification);
}

void UIApplication::presentLocalNotificationNow(const Ref<UILocalNotification>& notification)
{
    assertIsMainThread();
    if (notification)
        m_presentedNotifications.push_back(notification);
}

void UIApplication::cancelLocalNotification(const Ref<UILocalNotification>& notification)
{
    assertIsMainThread();
    auto& list = m_scheduledNotifications;
    list.erase(std::remove(list.begin(), list.end(), notification), list.end());
}

UIBackgroundTaskIdentifier UIApplication::beginBackgroundTaskWithExpirationHandler(std::function<void()> handler)
{
    UIBackgroundTaskIdentifier identifier = m_nextTask++;
    if (m_nextTask == UIBackgroundTaskInvalid)
        m_nextTask = 1;
    m_backgroundTasks.emplace_back(identifier, std::move(handler));
    return identifier;
}

void UIApplication::endBackgroundTask(UIBackgroundTaskIdentifier identifier)
{
    auto it = std::find_if(
        m_backgroundTasks.begin(), m_backgroundTasks.end(), [&](const auto& task) { return task.first == identifier; });
    if (it == m_backgroundTasks.end()) {
        if (identifier != UIBackgroundTaskInvalid)
            NSLog("Can't endBackgroundTask: no background task exists with identifier %u, or it may have already been "
                  "ended.",
                identifier);
        return;
    }
    m_backgroundTasks.erase(it);
}

double UIApplication::backgroundTimeRemaining() const
{
    return m_state == UIApplicationStateBackground ? 600.0 : std::numeric_limits<double>::max();
}

void UIApplication::expireBackgroundTasksInternal()
{
    assertIsMainThread();
    // Handlers usually end their own task; copy first, and run each one still outstanding.
    auto tasks = m_backgroundTasks;
    for (auto& [identifier, handler] : tasks) {
        // A copy, not the binding: clang 14 cannot capture a structured binding.
        auto id = identifier;
        bool outstanding = std::any_of(
            m_backgroundTasks.begin(), m_backgroundTasks.end(), [&](const auto& task) { return task.first == id; });
        if (outstanding && handler)
            handler();
    }
}

void UIApplication::endIgnoringInteractionEvents()
{
    assertIsMainThread();
    if (m_ignoringInteraction > 0)
        --m_ignoringInteraction;
}

Ref<UIResponder> UIApplication::nextResponder() const
{
    return std::dynamic_pointer_cast<UIResponder>(m_delegateObject);
}

int UIApplicationMain(int argc, char** argv, const char*, const char* delegateClassName)
{
    std::string renderPath;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--render") == 0)
            renderPath = argv[i + 1];
    }
    auto app = UIApplicationHost::launch(delegateClassName ? delegateClassName : "");
    if (!app) {
        NSLog("UIApplicationMain: no application delegate class named %s",
            delegateClassName ? delegateClassName : "(null)");
        return 1;
    }
    if (!renderPath.empty()) {
        UIApplicationHost::runUntilIdle();
        bool written = UIApplicationHost::writeKeyWindowPNG(renderPath);
        UIApplicationHost::terminate();
        return written ? 0 : 1;
    }
    UIApplicationHost::runUntilTerminated();
    return 0;
}

VX_REGISTER_CLASS(UIApplication);
