#pragma once

#include "testing/Drain.h"

// drainAll() now waits until the main queue stays empty, so settling is just draining. Kept for
// tests that still call settle(); new tests call drainAll() directly.
inline void settle()
{
    drainAll();
}
