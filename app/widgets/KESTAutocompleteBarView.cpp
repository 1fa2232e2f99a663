#include "app/widgets/KESTAutocompleteBarView.h"

#include "app/widgets/KESTTokenButton.h"
#include "foundation/NSBundle.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNJSONResponseSerializer.h"
#include "uikit/UILabel.h"
#include "uikit/UIScrollView.h"

#include <cmath>

VX_REGISTER_CLASS(KESTAutocompleteBarView);

namespace {

Ref<KESTTokenButton> tokenFor(const Value& title, const Value& data)
{
    return KESTTokenButton::initWithInfo(
        Value::dictionary({ { Value("title"), title }, { Value("representedObject"), data } }));
}

CGRect hintFrame(CGRect frame)
{
    return CGRectMake(frame.origin.x + 10, frame.origin.y, frame.size.width - 20, frame.size.height);
}

} // namespace

Ref<KESTAutocompleteBarView> KESTAutocompleteBarView::initWithFrame(CGRect frame)
{
    auto bar = makeView<KESTAutocompleteBarView>(frame);
    bar->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(224.0f / 255, 224.0f / 255, 224.0f / 255, 1));
    bar->m_scrollView = UIScrollView::initWithFrame(frame);
    bar->m_scrollView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    bar->addSubview(bar->m_scrollView);
    bar->m_placeholderLabel = UILabel::initWithFrame(hintFrame(frame));
    bar->m_placeholderLabel->setBackgroundColor(UIColor::clearColor());
    bar->m_placeholderLabel->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    bar->m_placeholderLabel->setFont(UIFont::preferredFontForTextStyle(UIFontTextStyleBody));
    bar->m_placeholderLabel->setTextColor(
        UIColor::colorWithRedGreenBlueAlpha(54.0f / 255, 54.0f / 255, 54.0f / 255, 1));
    bar->m_placeholderLabel->setText(NSBundle::mainBundle()->localizedStringForKey("Type for suggestions", "", ""));
    bar->addSubview(bar->m_placeholderLabel);
    return bar;
}

void KESTAutocompleteBarView::layoutSubviews()
{
    UIView::layoutSubviews();
    m_placeholderLabel->setFrame(hintFrame(frame()));
}

void KESTAutocompleteBarView::showSuggestions(const std::vector<Ref<KESTTokenButton>>& suggestions)
{
    auto previous = m_scrollView->subviews();
    for (const auto& subview : previous)
        subview->removeFromSuperview();
    m_suggestions.clear();
    if (suggestions.empty()) {
        m_placeholderLabel->setAlpha(1);
        return;
    }
    m_placeholderLabel->setAlpha(0);
    float x = 10;
    for (const auto& button : suggestions) {
        if (!button)
            continue;
        auto label = button->titleLabel();
        Value attributes = Value::dictionary({ { Value(NSFontAttributeName), Value(label->font()) } });
        // In whole points, so every token sits on whole pixels (see KESTTokenButton).
        float width
            = std::ceil(float(
                  NSString_Drawing::sizeWithAttributes(button->titleForState(UIControlStateNormal), attributes).width))
            + 20;
        button->setFrame(CGRectMake(x, 10, width, button->frame().size.height));
        button->addTarget(self<KESTAutocompleteBarView>(), &KESTAutocompleteBarView::didPressSuggestion,
            "didPressSuggestion:", UIControlEventTouchUpInside);
        m_scrollView->addSubview(button);
        m_suggestions.push_back(button);
        x += width + 5;
    }
    m_scrollView->setContentOffset(CGPointMake(0, 0));
    m_scrollView->setContentSize(CGSizeMake(x, 45));
}

void KESTAutocompleteBarView::didPressSuggestion(const Ref<NSObject>& button)
{
    auto token = std::dynamic_pointer_cast<KESTTokenButton>(button);
    auto owner = m_delegateOwner.lock();
    if (!m_delegate || !owner || !token)
        return;
    m_delegate->autocompleteBarDidSelectSuggestion(self<KESTAutocompleteBarView>(), token);
}

KESTAutocompleteDelegate* KESTAutocompleteBarView::delegate() const
{
    return m_delegateOwner.expired() ? nullptr : m_delegate;
}

void KESTAutocompleteBarView::setDelegate(KESTAutocompleteDelegate* delegate, const Ref<NSObject>& owner)
{
    m_delegate = delegate;
    m_delegateOwner = owner;
}

std::optional<std::vector<Ref<KESTTokenButton>>> KESTAutocompleteBarView::suggestionsForReply(
    const std::string& text, const Value& reply)
{
    if (!reply.isArray())
        return std::nullopt;
    std::vector<Ref<KESTTokenButton>> tokens { tokenFor(Value(text), Value(text)) };
    for (const auto& element : reply.elements()) {
        if (!element.isDictionary() || !element["title"].isString() || !element["data"].isString())
            continue;
        tokens.push_back(tokenFor(element["title"], element["data"]));
    }
    return tokens;
}

void KESTAutocompleteBarView::showSuggestionsForTextFromURL(
    const std::string& text, const std::optional<std::string>& url)
{
    if (text.empty()) {
        showSuggestions({});
        return;
    }
    showSuggestions({ tokenFor(Value(text), Value(text)) });
    if (!url)
        return;
    auto address = NSURL::URLWithString(*url);
    if (!address)
        return;
    auto operation = VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(address));
    operation->setResponseSerializer(VNJSONResponseSerializer::serializer());
    Weak<KESTAutocompleteBarView> weak = self<KESTAutocompleteBarView>();
    operation->setCompletionBlockWithSuccessFailure(
        [weak, text](const Ref<VNHTTPRequestOperation>&, const Value& reply) {
            auto self = weak.lock();
            if (!self)
                return;
            if (auto tokens = suggestionsForReply(text, reply))
                self->showSuggestions(*tokens);
        },
        nullptr);
    operation->start();
}
