#include "app/view-controllers/filters/KESTFilterDataCell.h"

#include "app/core/KESTFilterDetail.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTSettingsManager.h"
#include "app/widgets/KESTTokenButton.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"

VX_REGISTER_CLASS(KESTFilterDataCell);

void KESTFilterDataCell::awakeFromNib()
{
    m_autocompleteBar = KESTAutocompleteBarView::initWithFrame(CGRectMake(0, 0, 0, 55));
    m_autocompleteBar->setDelegate(this, self<NSObject>());
    if (auto field = textInput())
        field->setInputAccessoryView(m_autocompleteBar);
}

void KESTFilterDataCell::setTextInput(const Ref<UITextField>& field)
{
    m_textInput = field;
    if (field) {
        field->setDelegate(this, weak_from_this());
        if (m_autocompleteBar)
            field->setInputAccessoryView(m_autocompleteBar);
    }
}

void KESTFilterDataCell::prepareForReuse()
{
    UITableViewCell::prepareForReuse();
    if (auto field = textInput())
        field->setText("");
    if (m_autocompleteBar)
        m_autocompleteBar->showSuggestions({});
}

void KESTFilterDataCell::textFieldDidBeginEditing(const Ref<UITextField>& field)
{
    field->setTextColor(UIColor::grayColor());
}

void KESTFilterDataCell::textFieldDidEndEditing(const Ref<UITextField>& field)
{
    field->setTextColor(UIColor::blackColor());
    if (m_attachedFilter) {
        m_attachedFilter->setFilterTitle(Value(field->text()));
        if (!m_selectedToken)
            m_attachedFilter->setFilterDetail(Value(field->text()));
    }
    m_selectedToken = nullptr;
}

bool KESTFilterDataCell::textFieldShouldReturn(const Ref<UITextField>& field)
{
    field->resignFirstResponder();
    return true;
}

bool KESTFilterDataCell::textFieldShouldChangeCharactersInRangeReplacementString(
    const Ref<UITextField>& field, NSRange range, const std::string& replacement)
{
    std::string text = NSString::stringByReplacingCharactersInRange(field->text(), range, replacement);
    // A backspace in an empty field changes nothing and asks nothing.
    if (text.empty() && range.location == 0 && range.length == 0 && replacement.empty())
        return false;
    searchForDataWithTextAndType(text, m_attachedFilter ? m_attachedFilter->filterDetailType().intValue() : 0);
    return true;
}

void KESTFilterDataCell::autocompleteBarDidSelectSuggestion(
    const Ref<KESTAutocompleteBarView>&, const Ref<KESTTokenButton>& suggestion)
{
    m_selectedToken = suggestion;
    std::string title = suggestion->titleForState(UIControlStateNormal);
    auto field = textInput();
    if (field)
        field->setText(title);
    if (m_attachedFilter) {
        m_attachedFilter->setFilterTitle(Value(title));
        m_attachedFilter->setFilterDetail(suggestion->representedObject());
    }
    if (field)
        field->resignFirstResponder();
}

void KESTFilterDataCell::searchForDataWithTextAndType(const std::string& text, int32_t type)
{
    if (!m_autocompleteBar)
        return;
    // Squawks get only the typed text; the other kinds ask the service as well.
    std::optional<std::string> url;
    if (type >= 0 && type <= 2)
        url = NSString::stringWithFormat("%@APPAPIv2/filterSearch.php?searchText=%@&searchType=%li&codeType=%@",
            KESTLiveDataManager::serviceBaseURL(), NSString::stringByAddingPercentEscapesUsingEncoding(text),
            long(type), std::string(KESTSettingsManager::sharedInstance()->icaoType() != 0 ? "IATA" : "ICAO"));
    m_autocompleteBar->showSuggestionsForTextFromURL(text, url);
    if (!text.empty())
        setNeedsLayout();
}
