#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

#include <string>

class UIResponder;
class UIView;

inline constexpr const char* UIKeyboardWillShowNotification = "UIKeyboardWillShowNotification";
inline constexpr const char* UIKeyboardDidShowNotification = "UIKeyboardDidShowNotification";
inline constexpr const char* UIKeyboardWillHideNotification = "UIKeyboardWillHideNotification";
inline constexpr const char* UIKeyboardDidHideNotification = "UIKeyboardDidHideNotification";
inline constexpr const char* UIKeyboardFrameBeginUserInfoKey = "UIKeyboardFrameBeginUserInfoKey";
inline constexpr const char* UIKeyboardFrameEndUserInfoKey = "UIKeyboardFrameEndUserInfoKey";
inline constexpr const char* UIKeyboardAnimationDurationUserInfoKey = "UIKeyboardAnimationDurationUserInfoKey";
inline constexpr const char* UIKeyboardAnimationCurveUserInfoKey = "UIKeyboardAnimationCurveUserInfoKey";

// The simulated on-screen keyboard. It comes up when a text input becomes first responder and
// goes down when the last one resigns, posting the will/did show/hide notifications on the
// default centre with the begin and end frames (NSValue rects in screen coordinates), the
// animation duration (0.25 s) and curve (7). The did-notifications follow the will-ones once
// the animation's time has passed on the process clock. Moving from one text input to another
// keeps the keyboard up without notifications. The frame is a band at the bottom of the
// interface for the status bar orientation: 264 points high in portrait, 352 in landscape.
//
// Tests and the host type through it: the keys go to the first responder when it takes key
// input. Main thread only.
namespace UIKeyboard {
bool isVisible();
// The frame on screen, or where it would be when shown.
CGRect frame();
// Called by text inputs as they become and stop being first responder.
void inputDidBecomeFirstResponder(UIResponder* input);
void inputDidResignFirstResponder(UIResponder* input);
// While set, a resigning input does not take the keyboard down (another is taking over).
void setSwitchingInputs(bool switching);

// Typing: false when the first responder takes no key input.
bool typeText(const std::string& text);
bool pressReturn();
bool pressDelete();

// Test-only: forgets the keyboard's state and any pending notification.
void resetForTesting();
} // namespace UIKeyboard
