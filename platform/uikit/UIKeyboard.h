#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

#include <string>

class UIResponder;
class UIView;
class UIWindow;

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
// keeps the keyboard up, without notifications unless the space it covers changes. The frame is
// a band at the bottom of the interface for the status bar orientation: the keys, 264 points
// high in portrait and 352 in landscape, with the input's accessory view (as high as it is
// made, as wide as the band) on top of them.
//
// While up, the keys and the accessory view show in a window of their own above the
// application's windows; the host draws it over the key window and gives it the touches that
// land on it.
//
// Tests and the host type through it: the keys go to the first responder when it takes key
// input. Main thread only.
namespace UIKeyboard {
bool isVisible();
// The frame on screen, or where the keys would be when shown.
CGRect frame();
// The window showing the keys and the accessory view while the keyboard is up; nullptr while
// it is down.
Ref<UIWindow> window();
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
