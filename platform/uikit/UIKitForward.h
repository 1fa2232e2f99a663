#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <vector>

class UIApplication;
class UIApplicationDelegate;
class UIButton;
class UIControl;
class UIDevice;
class UIEvent;
class UIGestureRecognizer;
class UIImageView;
class UILabel;
class UILocalNotification;
class UIResponder;
class UIScreen;
class UITouch;
class UIView;
class UIViewController;
class UIWindow;

// Touch sets are ordered: the order in which the touches began.
using UITouchSet = std::vector<Ref<UITouch>>;
