#include "uikit/UIWebViewPage.h"

#include "graphics/CGContext.h"
#include "graphics/UIFont.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

int linesOf(const std::string& html, CGFloat width)
{
    CGFloat height = UIWebViewPage(html).heightForWidth(width) - 16;
    return int(std::lround(height / UIFont::systemFontOfSize(13)->lineHeight()));
}

TEST(UIWebViewPage, LaysOutBlocksAndIgnoresWhatIsNotShown)
{
    const struct {
        const char* html;
        int lines;
    } cases[] = {
        { "<p>One</p><p>Two</p>", 2 },
        { "<p><b>Heading</b><br/><small>detail</small></p><p>Notes</p>", 3 },
        { "<ul><li>First</li><li>Second</li></ul>", 2 },
        { "<html><head><style type=\"text/css\">body { padding:8px; }</style></head><body><p>Only</p></body></html>",
            1 },
        { "<p>Kept<span style=\"float:right;\"><b>MARK</b></span></p>", 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.html);
        EXPECT_EQ(linesOf(c.html, 600), c.lines);
    }
    EXPECT_EQ(UIWebViewPage("<html><head><title>T</title></head><body></body></html>").heightForWidth(600), 0);
    // A narrow page wraps.
    EXPECT_GT(linesOf("<p>A sentence that needs more than one line when it is narrow</p>", 120), 1);
}

TEST(UIWebViewPage, CentredBlockKeepsItsMinimumHeight)
{
    UIWebViewPage page("<div style=\"min-height:130px;vertical-align:middle;text-align:center;\">None</div>");
    EXPECT_EQ(page.heightForWidth(600), 130 + 16);
    // Its text is drawn centred in the block.
    auto context = CGContextCreateRecording(CGSizeMake(600, 146));
    page.draw(context, 600, 146);
    bool drawn = false;
    for (const auto& op : CGContextGetRecordedOperations(context))
        drawn = drawn || op.rfind("textLine \"None\"", 0) == 0;
    EXPECT_TRUE(drawn);
}

// A minimum height is a length a page can hold: huge values are capped, values that are not
// finite or not positive ask for nothing.
TEST(UIWebViewPage, MinimumHeightsAreBounded)
{
    const struct {
        const char* value;
        CGFloat height; // padding included
    } cases[] = {
        { "130px", 130 + 16 },
        { "1e9px", 10000 + 16 },
        { "inf", 0 },
        { "nan", 0 },
        { "-50px", 0 },
        { "1e400", 0 },
    };
    CGFloat oneLine = UIWebViewPage("<div>x</div>").heightForWidth(600);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        CGFloat height
            = UIWebViewPage(std::string("<div style=\"min-height:") + c.value + "\">x</div>").heightForWidth(600);
        EXPECT_EQ(height, std::max(c.height, oneLine));
    }
}

// A long page is laid out in pieces, which must not change it: every item is one line, and a
// mark floated right far down the page is still drawn.
TEST(UIWebViewPage, LongPageKeepsEveryLine)
{
    std::string html = "<ul>";
    for (int i = 0; i < 3000; ++i)
        html += i == 2500 ? "<li>Item<span style=\"float:right;\"><b>MARK</b></span>" : "<li>Item";
    html += "</ul>";
    EXPECT_EQ(linesOf(html, 600), 3000);
    UIWebViewPage page(html);
    CGFloat height = page.heightForWidth(600);
    auto context = CGContextCreateRecording(CGSizeMake(600, height));
    page.draw(context, 600, height);
    int items = 0, marks = 0;
    for (const auto& op : CGContextGetRecordedOperations(context)) {
        items += op.find("Item") != std::string::npos;
        marks += op.rfind("textLine \"MARK\"", 0) == 0;
    }
    EXPECT_EQ(items, 3000);
    EXPECT_EQ(marks, 1);
}

} // namespace
