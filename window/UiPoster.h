#pragma once
#include <functional>

// Hands work to the user-interface thread: a queued call on Qt, a posted
// message on Win32.
class IUiPoster {
public:
    virtual ~IUiPoster() = default;
    // From any thread: runs task on the user-interface thread later, after
    // the event being handled, in the order posted. Tasks still waiting
    // when the window goes are dropped.
    virtual void Post(std::function<void()> task) = 0;
};
