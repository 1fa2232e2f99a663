#include "mapkit/MKURLSessionTileLoader.h"

#include "foundation/NSError.h"
#include "mapkit/MKTileOverlay.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLSession.h"

void MKInstallURLSessionTileLoader()
{
    MKTileOverlay::setDefaultTileLoader([](const std::string& url, MKTileOverlay::LoadResult result) {
        auto nsurl = NSURL::URLWithString(url);
        if (!nsurl) {
            result(Value(), NSError::errorWithDomain(NSURLErrorDomain, NSURLErrorBadURL));
            return;
        }
        auto task = NSURLSession::sharedSession()->dataTaskWithURLCompletionHandler(
            nsurl, [result](const Value& data, const Ref<NSURLResponse>& response, const Ref<NSError>& error) {
                if (error) {
                    result(Value(), error);
                    return;
                }
                auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
                if (http && (http->statusCode() < 200 || http->statusCode() > 299)) {
                    result(Value(), NSError::errorWithDomain(NSURLErrorDomain, NSURLErrorBadServerResponse));
                    return;
                }
                result(data, nullptr);
            });
        task->resume();
    });
}
