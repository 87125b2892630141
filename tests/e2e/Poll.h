// Waiting for another process: poll a condition against a deadline.
#pragma once

#include <windows.h>

namespace e2e {

// Often enough to see a step of a run, rarely enough to leave the processor
// to the program under test.
const DWORD kPollInterval = 20;
// Time for the program to take a click, a key or a close.
const DWORD kReaction = 5000;

// True as soon as condition() holds; false when ms milliseconds have passed
// without it. The condition is tried once more at the deadline.
template <class Condition>
bool PollUntil(DWORD ms, Condition condition)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount() - start >= ms)
            return condition();
        ::Sleep(kPollInterval);
    }
}

} // namespace e2e
