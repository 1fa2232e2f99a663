#include "app/widgets/KESTAutocompleteBarView.h"

#include "app/widgets/KESTTokenButton.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"
#include "uikit/UIScrollView.h"

#include "app/tests/widgets/TokenTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class Picker : public NSObject, public KESTAutocompleteDelegate {
    VX_OBJECT(Picker, NSObject)
public:
    explicit Picker(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<Picker> init() { return make<Picker>(); }
    void autocompleteBarDidSelectSuggestion(
        const Ref<KESTAutocompleteBarView>&, const Ref<KESTTokenButton>& token) override
    {
        picked.push_back(token->representedObject().stringValue());
    }
    std::vector<std::string> picked;
};

TEST(KESTAutocompleteBarView, LaysOutSuggestionsAndTellsItsDelegate)
{
    auto bar = KESTAutocompleteBarView::initWithFrame(CGRectMake(0, 0, 400, 55));
    EXPECT_EQ(bar->placeholderLabel()->text(), "Type for suggestions");
    EXPECT_EQ(bar->placeholderLabel()->alpha(), 1);
    auto picker = Picker::init();
    bar->setDelegate(picker.get(), picker);

    std::vector<std::string> titles = { "BA", "British Airways", "BAW" };
    std::vector<Ref<KESTTokenButton>> tokens;
    for (const auto& title : titles)
        tokens.push_back(KESTTokenButton::initWithInfo(Value::dictionary(
            { { Value("title"), Value(title) }, { Value("representedObject"), Value(title + "!") } })));
    bar->scrollView()->setContentOffset(CGPointMake(30, 0));
    bar->showSuggestions(tokens);
    EXPECT_EQ(bar->placeholderLabel()->alpha(), 0);
    // Each token is as wide as its title (rounded up to whole points) plus 20: on whole points,
    // its rounded ends are drawn crisp.
    float x = 10;
    for (size_t i = 0; i < tokens.size(); ++i) {
        SCOPED_TRACE(titles[i]);
        float width = std::ceil(bodyTextWidth(titles[i])) + 20;
        EXPECT_FLOAT_EQ(tokens[i]->frame().origin.x, x);
        EXPECT_FLOAT_EQ(tokens[i]->frame().origin.y, 10);
        EXPECT_FLOAT_EQ(tokens[i]->frame().size.width, width);
        EXPECT_EQ(tokens[i]->superview(), bar->scrollView());
        x += width + 5;
    }
    EXPECT_FLOAT_EQ(bar->scrollView()->contentSize().width, x);
    EXPECT_EQ(bar->scrollView()->contentSize().height, 45);
    EXPECT_EQ(bar->scrollView()->contentOffset().x, 0);

    tokens[1]->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(picker->picked, (std::vector<std::string> { "British Airways!" }));

    // A new list replaces the old one; an empty one brings the hint back.
    bar->showSuggestions({ tokens[2] });
    EXPECT_FALSE(tokens[0]->superview());
    EXPECT_EQ(bar->scrollView()->subviews().size(), 1u);
    bar->showSuggestions({});
    EXPECT_TRUE(bar->scrollView()->subviews().empty());
    EXPECT_EQ(bar->placeholderLabel()->alpha(), 1);
}

} // namespace
