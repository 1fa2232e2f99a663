#include "uikit/UILocalNotification.h"

VX_REGISTER_CLASS(UILocalNotification);
