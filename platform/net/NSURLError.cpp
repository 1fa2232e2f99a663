#include "net/NSURLError.h"

#include "foundation/NSError.h"
#include "foundation/Value.h"
#include "net/NSURL.h"

std::string localizedDescriptionForURLErrorCode(int32_t code)
{
    switch (code) {
    case NSURLErrorCancelled:
        return "cancelled";
    case NSURLErrorBadURL:
        return "unsupported URL";
    case NSURLErrorTimedOut:
        return "The request timed out.";
    case NSURLErrorUnsupportedURL:
        return "unsupported URL";
    case NSURLErrorCannotFindHost:
        return "A server with the specified hostname could not be found.";
    case NSURLErrorCannotConnectToHost:
        return "Could not connect to the server.";
    case NSURLErrorNetworkConnectionLost:
        return "The network connection was lost.";
    case NSURLErrorNotConnectedToInternet:
        return "The Internet connection appears to be offline.";
    case NSURLErrorHTTPTooManyRedirects:
        return "too many HTTP redirects";
    case NSURLErrorBadServerResponse:
        return "The operation couldn't be completed. (NSURLErrorDomain error -1011.)";
    case NSURLErrorUserCancelledAuthentication:
        return "The operation couldn't be completed. (NSURLErrorDomain error -1012.)";
    case NSURLErrorCannotDecodeContentData:
        return "cannot decode raw data";
    case NSURLErrorFileDoesNotExist:
        return "The requested URL was not found on this server.";
    case NSURLErrorFileIsDirectory:
        return "file is directory";
    case NSURLErrorSecureConnectionFailed:
        return "An SSL error has occurred and a secure connection to the server cannot be made.";
    case NSURLErrorServerCertificateHasBadDate:
    case NSURLErrorServerCertificateUntrusted:
    case NSURLErrorServerCertificateHasUnknownRoot:
    case NSURLErrorServerCertificateNotYetValid:
        return "The certificate for this server is invalid.";
    case NSURLErrorCannotCreateFile:
        return "cannot create file";
    case NSURLErrorCannotWriteToFile:
        return "cannot write to file";
    default:
        return "unknown error";
    }
}

Ref<NSError> makeURLError(int32_t code, const Ref<NSURL>& failingURL)
{
    auto info = Value::mutableDictionary();
    info.setObjectForKey(localizedDescriptionForURLErrorCode(code), NSLocalizedDescriptionKey);
    if (failingURL) {
        info.setObjectForKey(Value::object(failingURL), NSURLErrorFailingURLErrorKey);
        info.setObjectForKey(failingURL->absoluteString(), NSURLErrorFailingURLStringErrorKey);
    }
    return NSError::errorWithDomain(NSURLErrorDomain, code, info.copy());
}
