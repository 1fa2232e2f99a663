#pragma once

// Waiting for the process to go quiet, instead of sleeping. Main thread only.
//
// drainAll() returns once every dispatch queue, operation queue and thread is idle (a thread
// waiting in its run loop, on a semaphore, a group or a sleep counts as idle) and the main
// thread has nothing left to run: the main queue is empty and no queued perform, due one-shot
// timer or due delayed perform is waiting in the default mode. Repeating timers are not pending
// work. While it waits it keeps running the main run loop, so background work that waits for
// the main thread (dispatch_sync to the main queue, performs with waitUntilDone) finishes.
// If nothing changes for a long time (real seconds) it aborts with a description of what is
// still busy, rather than hang a test run.
void drainAll();

// Runs one pass of the main run loop in the default mode; true when anything ran.
bool runOnePass();

// Test-only: forgets once-only flags and the default notification center's registrations, so
// tests do not depend on each other's order.
void resetForTesting();
