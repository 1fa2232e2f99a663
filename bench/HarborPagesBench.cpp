// The kit's text-heavy views: a release-notes page of 20 KB and 40 KB of "<li>x" items loaded,
// laid out and drawn by the web view as an update screen row does, and a feedback message with
// 2,000 links set on the attributed label with every data detector on; and the kit's HTTP
// operation receiving 4 MB in 4 KB chunks.
#include "graphics/CGContext.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "sdk/HBRAttributedLabel.h"
#include "sdk/HBRHTTPOperation.h"
#include "testing/Drain.h"
#include "uikit/UIWebView.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_ReleaseNotesPage(benchmark::State& state)
{
    std::string notes = "<ul>";
    while (notes.size() < size_t(state.range(0)) * 1024)
        notes += "<li>x";
    std::string html
        = "<html><head><style type=\"text/css\">p {margin:0;}</style></head><body><p>" + notes + "</p></body></html>";
    for (auto _ : state) {
        auto webView = UIWebView::initWithFrame(CGRectMake(0, 0, 600, 44));
        webView->loadHTMLStringBaseURL(html, nullptr);
        runOnePass(); // the load finishes and the page is measured
        CGFloat height = webView->contentHeight();
        webView->setFrame(CGRectMake(0, 0, 600, height));
        webView->layoutSubviews();
        auto context = CGContextCreateRecording(CGSizeMake(600, height));
        UIGraphicsPushContext(context);
        webView->drawRect(webView->bounds());
        UIGraphicsPopContext();
        benchmark::DoNotOptimize(height);
    }
    state.SetLabel(std::to_string(html.size()) + " bytes");
}

void BM_AttributedLabelLinks(benchmark::State& state)
{
    std::string text;
    for (int64_t i = 0; i < state.range(0); ++i)
        text += "see www.site" + std::to_string(i) + ".example ";
    for (auto _ : state) {
        auto label = HBRAttributedLabel::initWithFrame(CGRectMake(0, 0, 600, 100));
        label->setFont(UIFont::systemFontOfSize(15));
        label->setNumberOfLines(0);
        label->setDataDetectorTypes(UIDataDetectorTypeAll);
        label->setText(text);
        benchmark::DoNotOptimize(label->links().size());
    }
}

void BM_HTTPOperationChunks(benchmark::State& state)
{
    const Value chunk = Value::data(Value::Bytes(4096, 'x'));
    auto request = NSURLRequest::requestWithURL(NSURL::URLWithString("https://kit.test/api"));
    for (auto _ : state) {
        auto operation = HBRHTTPOperation::operationWithRequest(request);
        for (int64_t i = 0; i < state.range(0); ++i)
            operation->connectionDidReceiveData(nullptr, chunk);
        benchmark::DoNotOptimize(operation->data().bytes().size());
    }
}

} // namespace

BENCHMARK(BM_ReleaseNotesPage)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AttributedLabelLinks)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HTTPOperationChunks)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
