#pragma once

#include "Drain.h"

// drainAll() can return while a block that a background thread posted to the main queue at its
// last moment is still waiting (it checks the main queue before it finds the workers idle).
// Running main passes until one finds nothing, draining again after each, closes that gap.
inline void settle()
{
    do {
        drainAll();
    } while (runOnePass());
}
