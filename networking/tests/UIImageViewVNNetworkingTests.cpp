#include "networking/UIImageView+VNNetworking.h"
#include "networking/UIImageView+_VNNetworking.h"

#include "foundation/NSError.h"
#include "foundation/NSNotificationCenter.h"
#include "graphics/UIImage.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNImageCache.h"
#include "networking/VNImageResponseSerializer.h"
#include "networking/tests/ImageLoadingTestSupport.h"
#include "networking/tests/NetworkingTestSupport.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplication.h"

#include <gtest/gtest.h>

using namespace UIImageView_VNNetworking;
using namespace UIImageView__VNNetworking;

namespace {

Ref<NSURL> url(const std::string& path)
{
    return NSURL::URLWithString("http://images.invalid/" + path);
}

class UIImageView_VNNetworking : public ::testing::Test {
protected:
    void SetUp() override { vn_sharedImageCache()->removeAllObjects(); }
    void TearDown() override
    {
        settle();
        resetForTesting();
    }

    Ref<URLStub> serve(const std::string& path, size_t width, double delay = 0)
    {
        return servePNG(stubs, url(path), width, delay);
    }

    URLStubs stubs;
    Ref<UIImageView> view = UIImageView::initWithFrame(CGRectMake(0, 0, 40, 40));
};

TEST_F(UIImageView_VNNetworking, FetchesOnceThenServesFromTheCache)
{
    auto stub = serve("a.png", 7);
    view->setImage(imageOfWidth(1));
    setImageWithURL(view, url("a.png"));
    EXPECT_EQ(view->image(), nullptr); // a miss without placeholder clears the image
    settle();
    EXPECT_EQ(widthOf(view->image()), 7u);
    ASSERT_EQ(stub->requestCount(), 1u);

    // A plain request: the one header field is the added "Accept".
    auto sent = stub->requests().front();
    EXPECT_EQ(sent.method, "GET");
    EXPECT_EQ(sent.header("Accept"), "image/*");
    EXPECT_EQ(sent.headers, NSHTTPURLResponse::HeaderList({ { "Accept", "image/*" } }));

    // A hit is set at once, without a request and without showing the placeholder.
    auto other = UIImageView::initWithFrame(CGRectMake(0, 0, 40, 40));
    setImageWithURLPlaceholderImage(other, url("a.png"), imageOfWidth(3));
    EXPECT_EQ(widthOf(other->image()), 7u);
    EXPECT_EQ(vn_imageRequestOperation(other), nullptr);
    settle();
    EXPECT_EQ(stub->requestCount(), 1u);

    // After a memory warning every image is fetched again.
    NSNotificationCenter::defaultCenter()->postNotificationName(
        UIApplicationDidReceiveMemoryWarningNotification, nullptr);
    settle();
    setImageWithURLPlaceholderImage(other, url("a.png"), imageOfWidth(3));
    EXPECT_EQ(widthOf(other->image()), 3u); // the placeholder while it loads
    settle();
    EXPECT_EQ(widthOf(other->image()), 7u);
    EXPECT_EQ(stub->requestCount(), 2u);
}

TEST_F(UIImageView_VNNetworking, CachePoliciesThatIgnoreLocalDataAlwaysFetch)
{
    struct Case {
        NSURLRequestCachePolicy policy;
        bool fetches;
    } cases[] = {
        { NSURLRequestUseProtocolCachePolicy, false },
        { NSURLRequestReloadIgnoringLocalCacheData, true },
        { NSURLRequestReturnCacheDataElseLoad, false },
        { NSURLRequestReloadIgnoringLocalAndRemoteCacheData, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.policy);
        URLStubs scope;
        URLStubSpec spec;
        spec.url = url("p.png")->absoluteString();
        spec.headers = { { "Content-Type", "image/png" } };
        spec.body = pngBody(9);
        auto stub = scope.add(spec);
        auto request = NSMutableURLRequest::requestWithURL(url("p.png"));
        request->setCachePolicy(c.policy);
        vn_sharedImageCache()->cacheImageForRequest(imageOfWidth(5), request);

        setImageWithURLRequestPlaceholderImageSuccessFailure(view, request, nullptr, nullptr, nullptr);
        settle();
        EXPECT_EQ(stub->requestCount(), c.fetches ? 1u : 0u);
        EXPECT_EQ(widthOf(view->image()), c.fetches ? 9u : 5u);
        // A fetched image replaces the cached one for the URL.
        EXPECT_EQ(widthOf(vn_sharedImageCache()->cachedImageForRequest(NSURLRequest::requestWithURL(url("p.png")))),
            c.fetches ? 9u : 5u);
    }
}

TEST_F(UIImageView_VNNetworking, BlocksReceiveResultsAndLeaveTheViewToTheCaller)
{
    serve("ok.png", 6);
    URLStubSpec missing;
    missing.url = url("missing.png")->absoluteString();
    missing.statusCode = 404;
    missing.body = "not here";
    stubs.add(missing);

    struct Outcome {
        int successes = 0;
        int failures = 0;
        Ref<NSURLRequest> request;
        Ref<NSHTTPURLResponse> response;
        size_t width = 0;
        int32_t errorCode = 0;
    };
    auto run = [&](const std::string& path, Outcome& outcome) {
        auto placeholder = imageOfWidth(2);
        view->setImage(nullptr);
        setImageWithURLRequestPlaceholderImageSuccessFailure(
            view, NSURLRequest::requestWithURL(url(path)), placeholder,
            [&outcome](
                const Ref<NSURLRequest>& request, const Ref<NSHTTPURLResponse>& response, const Ref<UIImage>& image) {
                ++outcome.successes;
                outcome.request = request;
                outcome.response = response;
                outcome.width = widthOf(image);
            },
            [&outcome](
                const Ref<NSURLRequest>& request, const Ref<NSHTTPURLResponse>& response, const Ref<NSError>& error) {
                ++outcome.failures;
                outcome.request = request;
                outcome.response = response;
                outcome.errorCode = error ? error->code() : 0;
            });
        settle();
    };

    Outcome fetched;
    run("ok.png", fetched);
    EXPECT_EQ(fetched.successes, 1);
    ASSERT_NE(fetched.request, nullptr);
    EXPECT_EQ(fetched.request->URL()->absoluteString(), url("ok.png")->absoluteString());
    ASSERT_NE(fetched.response, nullptr);
    EXPECT_EQ(fetched.response->statusCode(), 200);
    EXPECT_EQ(fetched.width, 6u);
    EXPECT_EQ(widthOf(view->image()), 2u); // the block decides; the placeholder stays

    Outcome hit;
    run("ok.png", hit);
    EXPECT_EQ(hit.successes, 1);
    EXPECT_EQ(hit.request, nullptr);
    EXPECT_EQ(hit.response, nullptr);
    EXPECT_EQ(hit.width, 6u);
    EXPECT_EQ(view->image(), nullptr); // a hit with a block leaves the view alone

    Outcome failed;
    run("missing.png", failed);
    EXPECT_EQ(failed.successes, 0);
    EXPECT_EQ(failed.failures, 1);
    EXPECT_EQ(failed.errorCode, -1011);
    ASSERT_NE(failed.response, nullptr);
    EXPECT_EQ(failed.response->statusCode(), 404);
    EXPECT_EQ(widthOf(view->image()), 2u); // the placeholder stays after a failure
    EXPECT_EQ(vn_sharedImageCache()->cachedImageForRequest(NSURLRequest::requestWithURL(url("missing.png"))), nullptr);
}

TEST_F(UIImageView_VNNetworking, ALaterCallSupersedesTheRunningFetch)
{
    ScopedVirtualClock clock;
    auto slow = serve("slow.png", 4, 5);
    serve("fast.png", 8);
    std::vector<std::string> events;
    auto record = [&events](std::string name) {
        return [&events, name](const Ref<NSURLRequest>&, const Ref<NSHTTPURLResponse>&, const Ref<NSError>& error) {
            events.push_back(name + " failed " + std::to_string(error ? error->code() : 0));
        };
    };

    setImageWithURLRequestPlaceholderImageSuccessFailure(
        view, NSURLRequest::requestWithURL(url("slow.png")), nullptr, nullptr, record("slow"));
    auto first = vn_imageRequestOperation(view);
    ASSERT_NE(first, nullptr);
    drainAll();
    setImageWithURLRequestPlaceholderImageSuccessFailure(
        view, NSURLRequest::requestWithURL(url("fast.png")), nullptr, nullptr, record("fast"));
    EXPECT_TRUE(first->isCancelled());
    settle();
    clock.advance(10);
    settle();

    // The replaced fetch ends with the cancellation error; only the newer image is shown.
    EXPECT_EQ(events, std::vector<std::string>({ "slow failed " + std::to_string(NSURLErrorCancelled) }));
    EXPECT_EQ(widthOf(view->image()), 8u);
    EXPECT_EQ(vn_sharedImageCache()->cachedImageForRequest(NSURLRequest::requestWithURL(url("slow.png"))), nullptr);

    // cancelImageRequestOperation cancels and forgets the fetch.
    setImageWithURL(view, url("slow.png"));
    auto again = vn_imageRequestOperation(view);
    cancelImageRequestOperation(view);
    EXPECT_TRUE(again->isCancelled());
    EXPECT_EQ(vn_imageRequestOperation(view), nullptr);
    settle();
    EXPECT_EQ(view->image(), nullptr);
}

TEST_F(UIImageView_VNNetworking, AFinishedFetchDoesNotOverwriteTheImageOfALaterCall)
{
    serve("old.png", 4);
    setImageWithURL(view, url("old.png"));
    auto old = vn_imageRequestOperation(view);
    ASSERT_NE(old, nullptr);
    // Let the old fetch finish; its delivery waits on the main queue.
    old->waitUntilFinished();

    // A cell reused for another URL whose image is cached already.
    auto fresh = NSURLRequest::requestWithURL(url("fresh.png"));
    vn_sharedImageCache()->cacheImageForRequest(imageOfWidth(12), fresh);
    setImageWithURLRequestPlaceholderImageSuccessFailure(view, fresh, nullptr, nullptr, nullptr);
    EXPECT_EQ(widthOf(view->image()), 12u);
    settle();

    EXPECT_EQ(widthOf(view->image()), 12u);
    // The old image is still cached for its own URL.
    EXPECT_EQ(widthOf(vn_sharedImageCache()->cachedImageForRequest(NSURLRequest::requestWithURL(url("old.png")))), 4u);
}

TEST_F(UIImageView_VNNetworking, AViewGoneBeforeItsFetchEndsIsNotTouchedOrCached)
{
    ScopedVirtualClock clock;
    serve("late.png", 5, 2);
    int successes = 0;
    {
        auto doomed = UIImageView::initWithFrame(CGRectMake(0, 0, 10, 10));
        setImageWithURLRequestPlaceholderImageSuccessFailure(
            doomed, NSURLRequest::requestWithURL(url("late.png")), nullptr, [&](auto&&...) { ++successes; }, nullptr);
        drainAll();
    }
    clock.advance(3);
    settle();
    EXPECT_EQ(successes, 0);
    EXPECT_EQ(vn_sharedImageCache()->cachedImageForRequest(NSURLRequest::requestWithURL(url("late.png"))), nullptr);
}

TEST_F(UIImageView_VNNetworking, SerializerIsTheViewsOwnOrTheSharedDefault)
{
    auto shared = imageResponseSerializer(view);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(imageResponseSerializer(UIImageView::initWithFrame(CGRectZero)), shared);

    auto own = VNImageResponseSerializer::serializer();
    own->setImageScale(2);
    setImageResponseSerializer(view, own);
    EXPECT_EQ(imageResponseSerializer(view), own);

    serve("scaled.png", 10);
    setImageWithURL(view, url("scaled.png"));
    EXPECT_EQ(vn_imageRequestOperation(view)->responseSerializer(), own);
    settle();
    ASSERT_NE(view->image(), nullptr);
    EXPECT_EQ(view->image()->scale(), 2);

    // The shared queue and cache are made once.
    EXPECT_EQ(vn_sharedImageRequestOperationQueue(), vn_sharedImageRequestOperationQueue());
    EXPECT_EQ(vn_sharedImageRequestOperationQueue()->maxConcurrentOperationCount(),
        NSOperationQueueDefaultMaxConcurrentOperationCount);
    EXPECT_EQ(vn_sharedImageCache(), vn_sharedImageCache());
}

TEST(VNImageCache, StoresByURLStringAndIgnoresNil)
{
    auto cache = VNImageCache::init();
    auto image = imageOfWidth(3);
    auto request = NSURLRequest::requestWithURL(NSURL::URLWithString("http://h/x.png"));
    cache->cacheImageForRequest(nullptr, request);
    cache->cacheImageForRequest(image, nullptr);
    EXPECT_EQ(cache->count(), 0u);
    cache->cacheImageForRequest(image, request);
    EXPECT_EQ(cache->objectForKey(Value("http://h/x.png")).objectAs<UIImage>(), image);
    // Any request for the same URL finds it, whatever its other fields.
    auto post = NSMutableURLRequest::requestWithURL(NSURL::URLWithString("http://h/x.png"));
    post->setHTTPMethod("POST");
    EXPECT_EQ(cache->cachedImageForRequest(post), image);
    EXPECT_EQ(cache->cachedImageForRequest(nullptr), nullptr);
}

} // namespace
