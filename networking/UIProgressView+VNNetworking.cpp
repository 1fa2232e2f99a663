#include "networking/UIProgressView+VNNetworking.h"

#include "foundation/Dispatch.h"
#include "net/NSURLSessionTask.h"
#include "networking/VNURLConnectionOperation.h"

namespace UIProgressView_VNNetworking {

namespace {

char s_uploadProgressAnimatedKey;
char s_downloadProgressAnimatedKey;
char s_uploadContext;
char s_downloadContext;

enum class Direction { Upload, Download };

// Watches one task for one progress view. The task keeps it (as an associated object) until it
// completes; the view is held weakly.
class ProgressTaskObserver final : public NSObject {
    VX_OBJECT(ProgressTaskObserver, NSObject)
public:
    ProgressTaskObserver(Passkey key, Weak<UIProgressView> view, Direction direction)
        : NSObject(key)
        , m_view(std::move(view))
        , m_direction(direction)
    {
    }

    static Ref<ProgressTaskObserver> create(const Ref<UIProgressView>& view, Direction direction)
    {
        return make<ProgressTaskObserver>(Weak<UIProgressView>(view), direction);
    }

    void* context() const { return m_direction == Direction::Upload ? &s_uploadContext : &s_downloadContext; }
    const char* bytesKeyPath() const
    {
        return m_direction == Direction::Upload ? "countOfBytesSent" : "countOfBytesReceived";
    }

    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value&, void* context) override
    {
        if (context != this->context())
            return;
        auto task = std::dynamic_pointer_cast<NSURLSessionTask>(object);
        if (!task)
            return;
        auto protectedThis = self<ProgressTaskObserver>();
        if (keyPath == bytesKeyPath()) {
            int64_t expected = m_direction == Direction::Upload ? task->countOfBytesExpectedToSend()
                                                                : task->countOfBytesExpectedToReceive();
            if (expected <= 0)
                return;
            Weak<NSURLSessionTask> weakTask = task;
            Weak<UIProgressView> weakView = m_view;
            Direction direction = m_direction;
            dispatch_async(dispatch_get_main_queue(), [weakTask, weakView, direction] {
                auto view = weakView.lock();
                auto task = weakTask.lock();
                if (!view || !task)
                    return;
                bool upload = direction == Direction::Upload;
                float done = static_cast<float>(upload ? task->countOfBytesSent() : task->countOfBytesReceived());
                float total = static_cast<float>(
                    upload ? task->countOfBytesExpectedToSend() : task->countOfBytesExpectedToReceive());
                if (total <= 0)
                    return;
                view->setProgressAnimated(
                    done / total, upload ? vn_uploadProgressAnimated(view) : vn_downloadProgressAnimated(view));
            });
        } else if (keyPath == "state" && task->state() == NSURLSessionTaskStateCompleted) {
            task->removeObserver(protectedThis, "state", this->context());
            task->removeObserver(protectedThis, bytesKeyPath(), this->context());
            task->setAssociatedObject(this, Value());
        }
    }

private:
    Weak<UIProgressView> m_view;
    Direction m_direction;
};

void follow(const Ref<UIProgressView>& view, const Ref<NSURLSessionTask>& task, Direction direction)
{
    if (!view || !task)
        return;
    auto observer = ProgressTaskObserver::create(view, direction);
    task->setAssociatedObject(observer.get(), Value(observer));
    task->addObserver(observer, "state", 0, observer->context());
    task->addObserver(observer, observer->bytesKeyPath(), 0, observer->context());
}

VNURLConnectionOperation::ProgressBlock chainedProgressBlock(
    VNURLConnectionOperation::ProgressBlock previous, const Ref<UIProgressView>& view, bool animated)
{
    Weak<UIProgressView> weakView = view;
    return [previous, weakView, animated](uint32_t bytes, int64_t totalBytes, int64_t totalBytesExpected) {
        if (previous)
            previous(bytes, totalBytes, totalBytesExpected);
        dispatch_async(dispatch_get_main_queue(), [weakView, animated, totalBytes, totalBytesExpected] {
            if (totalBytesExpected <= 0)
                return;
            if (auto view = weakView.lock())
                view->setProgressAnimated(float(totalBytes) / float(totalBytesExpected), animated);
        });
    };
}

} // namespace

void setProgressWithUploadProgressOfOperationAnimated(
    const Ref<UIProgressView>& view, const Ref<VNURLConnectionOperation>& operation, bool animated)
{
    if (!view || !operation)
        return;
    operation->setUploadProgressBlock(chainedProgressBlock(operation->uploadProgress(), view, animated));
}

void setProgressWithDownloadProgressOfOperationAnimated(
    const Ref<UIProgressView>& view, const Ref<VNURLConnectionOperation>& operation, bool animated)
{
    if (!view || !operation)
        return;
    operation->setDownloadProgressBlock(chainedProgressBlock(operation->downloadProgress(), view, animated));
}

void setProgressWithUploadProgressOfTaskAnimated(
    const Ref<UIProgressView>& view, const Ref<NSURLSessionTask>& task, bool animated)
{
    follow(view, task, Direction::Upload);
    vn_setUploadProgressAnimated(view, animated);
}

void setProgressWithDownloadProgressOfTaskAnimated(
    const Ref<UIProgressView>& view, const Ref<NSURLSessionTask>& task, bool animated)
{
    follow(view, task, Direction::Download);
    vn_setDownloadProgressAnimated(view, animated);
}

bool vn_uploadProgressAnimated(const Ref<UIProgressView>& view)
{
    return view && view->associatedObject(&s_uploadProgressAnimatedKey).boolValue();
}

void vn_setUploadProgressAnimated(const Ref<UIProgressView>& view, bool animated)
{
    if (view)
        view->setAssociatedObject(&s_uploadProgressAnimatedKey, Value(animated));
}

bool vn_downloadProgressAnimated(const Ref<UIProgressView>& view)
{
    return view && view->associatedObject(&s_downloadProgressAnimatedKey).boolValue();
}

void vn_setDownloadProgressAnimated(const Ref<UIProgressView>& view, bool animated)
{
    if (view)
        view->setAssociatedObject(&s_downloadProgressAnimatedKey, Value(animated));
}

} // namespace UIProgressView_VNNetworking
