#pragma once

#include <cstdint>
#include <string>

enum UIKeyboardType : int32_t {
    UIKeyboardTypeDefault = 0,
    UIKeyboardTypeASCIICapable = 1,
    UIKeyboardTypeNumbersAndPunctuation = 2,
    UIKeyboardTypeURL = 3,
    UIKeyboardTypeNumberPad = 4,
    UIKeyboardTypePhonePad = 5,
    UIKeyboardTypeNamePhonePad = 6,
    UIKeyboardTypeEmailAddress = 7,
    UIKeyboardTypeDecimalPad = 8,
    UIKeyboardTypeWebSearch = 10,
};

enum UIReturnKeyType : int32_t {
    UIReturnKeyDefault = 0,
    UIReturnKeyGo = 1,
    UIReturnKeyJoin = 3,
    UIReturnKeyNext = 4,
    UIReturnKeyRoute = 5,
    UIReturnKeySearch = 6,
    UIReturnKeySend = 7,
    UIReturnKeyDone = 9,
    UIReturnKeyEmergencyCall = 10,
};

enum UITextAutocapitalizationType : int32_t {
    UITextAutocapitalizationTypeNone = 0,
    UITextAutocapitalizationTypeWords = 1,
    UITextAutocapitalizationTypeSentences = 2,
    UITextAutocapitalizationTypeAllCharacters = 3,
};

enum UITextAutocorrectionType : int32_t {
    UITextAutocorrectionTypeDefault = 0,
    UITextAutocorrectionTypeNo = 1,
    UITextAutocorrectionTypeYes = 2,
};

enum UIKeyboardAppearance : int32_t {
    UIKeyboardAppearanceDefault = 0,
    UIKeyboardAppearanceDark = 1,
    UIKeyboardAppearanceLight = 2,
};

// How the keyboard should behave for a text input. Plain settings the keyboard reads.
class UITextInputTraits {
public:
    virtual ~UITextInputTraits() = default;
    UIKeyboardType keyboardType() const { return m_keyboardType; }
    void setKeyboardType(UIKeyboardType type) { m_keyboardType = type; }
    UIReturnKeyType returnKeyType() const { return m_returnKeyType; }
    void setReturnKeyType(UIReturnKeyType type) { m_returnKeyType = type; }
    UITextAutocapitalizationType autocapitalizationType() const { return m_autocapitalization; }
    void setAutocapitalizationType(UITextAutocapitalizationType type) { m_autocapitalization = type; }
    UITextAutocorrectionType autocorrectionType() const { return m_autocorrection; }
    void setAutocorrectionType(UITextAutocorrectionType type) { m_autocorrection = type; }
    UIKeyboardAppearance keyboardAppearance() const { return m_appearance; }
    void setKeyboardAppearance(UIKeyboardAppearance appearance) { m_appearance = appearance; }
    bool isSecureTextEntry() const { return m_secure; }
    void setSecureTextEntry(bool secure) { m_secure = secure; }
    bool enablesReturnKeyAutomatically() const { return m_enablesReturnKeyAutomatically; }
    void setEnablesReturnKeyAutomatically(bool v) { m_enablesReturnKeyAutomatically = v; }

private:
    UIKeyboardType m_keyboardType { UIKeyboardTypeDefault };
    UIReturnKeyType m_returnKeyType { UIReturnKeyDefault };
    UITextAutocapitalizationType m_autocapitalization { UITextAutocapitalizationTypeSentences };
    UITextAutocorrectionType m_autocorrection { UITextAutocorrectionTypeDefault };
    UIKeyboardAppearance m_appearance { UIKeyboardAppearanceDefault };
    bool m_secure { false };
    bool m_enablesReturnKeyAutomatically { false };
};

// A responder that takes typed text: the keyboard sends it each key. Return arrives as "\n".
class UIKeyInput : public UITextInputTraits {
public:
    virtual bool hasText() const = 0;
    virtual void insertText(const std::string& text) = 0;
    virtual void deleteBackward() = 0;
};
