#pragma once

#include "app/widgets/KESTAutocompleteBarView.h"
#include "uikit/UITableViewCell.h"
#include "uikit/UITextField.h"

class KESTFilterDetail;
class KESTTokenButton;

// A value row of the filter editor: one airline, aircraft or squawk condition typed into a
// text field, with suggestions from the flight-data service in a bar above the keyboard. The
// row writes the user's input straight into its condition (attachedFilter): a chosen
// suggestion stores its title and data, typed text stores itself as both. Built from the
// layout "KESTFilterDataCell". Main thread only.
class KESTFilterDataCell : public UITableViewCell, public UITextFieldDelegate, public KESTAutocompleteDelegate {
    VX_OBJECT(KESTFilterDataCell, UITableViewCell)
public:
    explicit KESTFilterDataCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTFilterDataCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTFilterDataCell>(style, reuseIdentifier);
    }

    // Called by the layout once its objects are made: makes the suggestion bar (0, 0, 0, 55)
    // and hands it to the text field as its input accessory.
    virtual void awakeFromNib();
    void prepareForReuse() override;

    Ref<UITextField> textInput() const { return m_textInput.lock(); }
    void setTextInput(const Ref<UITextField>& field);
    const Ref<KESTAutocompleteBarView>& autocompleteBar() const { return m_autocompleteBar; }
    const Ref<KESTFilterDetail>& attachedFilter() const { return m_attachedFilter; }
    void setAttachedFilter(Ref<KESTFilterDetail> detail) { m_attachedFilter = std::move(detail); }
    const Ref<KESTTokenButton>& selectedToken() const { return m_selectedToken; }

    // Shows the typed text as the first suggestion at once; for airline, aircraft and airport
    // conditions asks the service for more, whose reply (whenever it comes) replaces the list.
    void searchForDataWithTextAndType(const std::string& text, int32_t type);

    void textFieldDidBeginEditing(const Ref<UITextField>&) override;
    void textFieldDidEndEditing(const Ref<UITextField>&) override;
    bool textFieldShouldReturn(const Ref<UITextField>&) override;
    bool textFieldShouldChangeCharactersInRangeReplacementString(
        const Ref<UITextField>&, NSRange range, const std::string& replacement) override;
    void autocompleteBarDidSelectSuggestion(
        const Ref<KESTAutocompleteBarView>& bar, const Ref<KESTTokenButton>& suggestion) override;

private:
    Weak<UITextField> m_textInput;
    Ref<KESTAutocompleteBarView> m_autocompleteBar;
    Ref<KESTFilterDetail> m_attachedFilter;
    Ref<KESTTokenButton> m_selectedToken;
};
