#pragma once

#include "net/NSURLSessionDataTask.h"

// A data task whose request body comes from data, a file or a stream.
class NSURLSessionUploadTask : public NSURLSessionDataTask {
    VX_OBJECT(NSURLSessionUploadTask, NSURLSessionDataTask)
public:
    explicit NSURLSessionUploadTask(Passkey key)
        : NSURLSessionDataTask(key, Kind::Upload)
    {
    }
};
