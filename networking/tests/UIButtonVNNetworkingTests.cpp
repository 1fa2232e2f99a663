#include "networking/UIButton+VNNetworking.h"
#include "networking/UIButton+_VNNetworking.h"

#include "foundation/NSError.h"
#include "graphics/UIImage.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLRequest.h"
#include "networking/UIImageView+_VNNetworking.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/tests/ImageLoadingTestSupport.h"
#include "networking/tests/NetworkingTestSupport.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

using namespace UIButton_VNNetworking;
using namespace UIButton__VNNetworking;

namespace {

Ref<NSURL> url(const std::string& path)
{
    return NSURL::URLWithString("http://buttons.invalid/" + path);
}

class UIButton_VNNetworking : public ::testing::Test {
protected:
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
    Ref<UIButton> button = UIButton::buttonWithType(UIButtonTypeCustom);
};

TEST_F(UIButton_VNNetworking, ImagesLoadPerStateAndKind)
{
    ScopedVirtualClock clock;
    auto icon = serve("icon.png", 6, 1);
    serve("back.png", 9);
    button->setImageForState(imageOfWidth(1), UIControlStateHighlighted);

    setImageForStateWithURLPlaceholderImage(button, UIControlStateNormal, url("icon.png"), imageOfWidth(2));
    EXPECT_EQ(widthOf(button->imageForState(UIControlStateNormal)), 2u); // the placeholder at once
    auto imageOperation = vn_imageRequestOperation(button);
    ASSERT_NE(imageOperation, nullptr);

    // The background load runs beside the image load and does not cancel it.
    setBackgroundImageForStateWithURL(button, UIControlStateNormal, url("back.png"));
    EXPECT_FALSE(imageOperation->isCancelled());
    settle();
    EXPECT_EQ(widthOf(button->backgroundImageForState(UIControlStateNormal)), 9u);
    clock.advance(2);
    settle();
    EXPECT_EQ(widthOf(button->imageForState(UIControlStateNormal)), 6u);
    EXPECT_EQ(widthOf(button->imageForState(UIControlStateHighlighted)), 1u); // other states alone
    EXPECT_EQ(vn_imageRequestOperation(button), imageOperation); // kept after finishing

    ASSERT_EQ(icon->requestCount(), 1u);
    EXPECT_EQ(icon->requests()[0].headers, NSHTTPURLResponse::HeaderList({ { "Accept", "image/*" } }));

    // Each load has its own serializer; the button queue is not the image views' queue.
    setImageForStateWithURL(button, UIControlStateSelected, url("icon.png"));
    auto second = vn_imageRequestOperation(button);
    EXPECT_NE(second->responseSerializer(), imageOperation->responseSerializer());
    EXPECT_NE(vn_sharedImageRequestOperationQueue(), UIImageView__VNNetworking::vn_sharedImageRequestOperationQueue());
    EXPECT_EQ(vn_sharedImageRequestOperationQueue()->maxConcurrentOperationCount(),
        NSOperationQueueDefaultMaxConcurrentOperationCount);
    cancelImageRequestOperation(button);
    EXPECT_TRUE(second->isCancelled());
    EXPECT_EQ(vn_imageRequestOperation(button), nullptr);
}

TEST_F(UIButton_VNNetworking, OnlyTheCurrentLoadReportsAndEveryFailureOfItIsHeard)
{
    ScopedVirtualClock clock;
    serve("slow.png", 4, 5);
    serve("fast.png", 8);
    URLStubSpec missing;
    missing.url = url("missing.png")->absoluteString();
    missing.statusCode = 404;
    stubs.add(missing);
    URLStubSpec down;
    down.url = url("down.png")->absoluteString();
    down.errorCode = NSURLErrorCannotConnectToHost;
    stubs.add(down);

    std::vector<std::string> events;
    auto success = [&events](std::string name) {
        return [&events, name](const Ref<NSHTTPURLResponse>& response, const Ref<UIImage>& image) {
            events.push_back(name + " " + std::to_string(response ? response->statusCode() : 0) + " "
                + std::to_string(widthOf(image)));
        };
    };
    auto failure = [&events](std::string name) {
        return [&events, name](const Ref<NSError>& error) {
            events.push_back(name + " failed " + std::to_string(error ? error->code() : 0));
        };
    };
    auto load = [&](const std::string& path) {
        setBackgroundImageForStateWithURLRequestPlaceholderImageSuccessFailure(button, UIControlStateNormal,
            NSURLRequest::requestWithURL(url(path)), nullptr, success(path), failure(path));
    };

    struct Case {
        const char* path;
        std::vector<std::string> events;
    } cases[] = {
        { "fast.png", { "fast.png 200 8" } },
        { "missing.png", { "missing.png failed -1011" } },
        // No response at all: the failure is reported all the same.
        { "down.png", { "down.png failed " + std::to_string(NSURLErrorCannotConnectToHost) } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        events.clear();
        load(c.path);
        settle();
        EXPECT_EQ(events, c.events);
    }
    // A success block decides about the image.
    EXPECT_EQ(button->backgroundImageForState(UIControlStateNormal), nullptr);

    // A replaced load reports nothing, neither its cancellation nor a late image.
    events.clear();
    load("slow.png");
    drainAll();
    setBackgroundImageForStateWithURL(button, UIControlStateNormal, url("fast.png"));
    settle();
    clock.advance(6);
    settle();
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(widthOf(button->backgroundImageForState(UIControlStateNormal)), 8u);

    // A load that finished just before it was replaced leaves the newer image in place.
    setBackgroundImageForStateWithURL(button, UIControlStateNormal, url("fast.png"));
    vn_backgroundImageRequestOperation(button)->waitUntilFinished();
    setBackgroundImageForStateWithURLPlaceholderImage(button, UIControlStateNormal, url("slow.png"), imageOfWidth(3));
    settle();
    EXPECT_EQ(widthOf(button->backgroundImageForState(UIControlStateNormal)), 3u);
    cancelBackgroundImageRequestOperation(button);
    clock.advance(6);
    settle();
    EXPECT_EQ(widthOf(button->backgroundImageForState(UIControlStateNormal)), 3u);
    EXPECT_EQ(vn_backgroundImageRequestOperation(button), nullptr);
}

} // namespace
