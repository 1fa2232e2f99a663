#pragma once

#include "foundation/Value.h"
#include "uikit/UIButton.h"
#include "uikit/UIKeyInput.h"

// A pill-shaped button standing for one value: a suggestion in an autocomplete bar. It shows
// its "title", carries its `representedObject`, and is 34 points high and as wide as its title
// in the body font plus 20. It can become first responder (title red, grey otherwise) and then
// swallows typing. Main thread only.
class KESTTokenButton : public UIButton, public UIKeyInput {
    VX_OBJECT(KESTTokenButton, UIButton)
public:
    explicit KESTTokenButton(Passkey key)
        : UIButton(key)
    {
    }
    // The info's keys, all optional: "title", "image", "representedObject".
    static Ref<KESTTokenButton> initWithInfo(const Value& info);
    // The width of the info's title in the body font, plus 20 (20 without a title).
    static float widthWithInfo(const Value& info);

    const Value& representedObject() const { return m_representedObject; }
    void setRepresentedObject(const Value& object) { m_representedObject = object; }

    // Red title when toggled, grey (1/3) otherwise.
    void setToggled(bool toggled);

    bool canBecomeFirstResponder() const override { return true; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;

    bool hasText() const override { return false; }
    void insertText(const std::string&) override { }
    void deleteBackward() override { }

    // Its own touch-up-inside action; owners add their own.
    void didPress(const Ref<NSObject>& sender);

private:
    Value m_representedObject;
};
