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

} // namespace
