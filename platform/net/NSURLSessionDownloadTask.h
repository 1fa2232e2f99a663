#pragma once

#include "net/NSURLSessionTask.h"

// A task whose body goes to a temporary file, handed to the delegate (or the completion handler)
// and removed when that call returns. Cancelling with resume data lets a new task continue
// where this one stopped (with "Range" and "If-Range").
class NSURLSessionDownloadTask : public NSURLSessionTask {
    VX_OBJECT(NSURLSessionDownloadTask, NSURLSessionTask)
public:
    explicit NSURLSessionDownloadTask(Passkey key)
        : NSURLSessionTask(key, Kind::Download)
    {
    }

    // The handler gets the resume data (nil when the task cannot be resumed), on the delegate queue.
    void cancelByProducingResumeData(std::function<void(const Value& resumeData)> handler);
};
