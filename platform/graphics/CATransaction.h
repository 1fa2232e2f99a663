#pragma once

#include "foundation/NSObject.h"

#include <functional>

class CAAnimation;
class CALayer;

// Groups layer changes. Transactions nest; settings (duration, disabled actions, completion)
// belong to the innermost one. A transaction's completion runs on the main run loop once every
// animation added while it was open has finished, or on the next pass when there were none.
// Main thread only.
class CATransaction {
public:
    static void begin();
    static void commit();
    static void flush() { }

    static double animationDuration();
    static void setAnimationDuration(double duration);
    static bool disableActions();
    static void setDisableActions(bool disable);
    static void setCompletionBlock(std::function<void()> completion);
    static std::function<void()> completionBlock();
    // "animationDuration", "disableActions" as values.
    static Value valueForKey(const std::string& key);
    static void setValueForKey(const Value& value, const std::string& key);

    // Layers report their animations so the open transactions can wait for them.
    static void animationAdded(double endMediaTime);
};

// The media time of the process clock, in seconds.
double CACurrentMediaTime();
