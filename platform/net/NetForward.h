#pragma once

#include "foundation/FoundationForward.h"

// Forward declarations of the URL loading stand-in.
class NSURL;
class NSURLRequest;
class NSMutableURLRequest;
class NSURLResponse;
class NSHTTPURLResponse;
class NSURLSession;
class NSURLSessionConfiguration;
class NSURLSessionTask;
class NSURLSessionDataTask;
class NSURLSessionDownloadTask;
class NSURLSessionUploadTask;
class NSURLConnection;
class NSURLCache;
class NSCachedURLResponse;
class NSURLCredential;
class NSURLProtectionSpace;
class NSURLAuthenticationChallenge;
class NSStream;
class NSInputStream;
class NSOutputStream;
