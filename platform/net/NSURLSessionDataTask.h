#pragma once

#include "net/NSURLSessionTask.h"

// A task whose body arrives as data (to the delegate, or whole to a completion handler).
class NSURLSessionDataTask : public NSURLSessionTask {
    VX_OBJECT(NSURLSessionDataTask, NSURLSessionTask)
public:
    NSURLSessionDataTask(Passkey key, Kind kind = Kind::Data)
        : NSURLSessionTask(key, kind)
    {
    }
};
