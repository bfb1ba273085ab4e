#pragma once
#include <string>

// What loading a program's details asks of the window that shows them.
class IDetailsHost {
public:
    virtual ~IDetailsHost() = default;
    // Sets the main window's title.
    virtual void SetTitle(const std::string& title) = 0;
    // Handles every event that is waiting, then returns. Timers included: a
    // refresh may run and add, remove or move records of the process table.
    virtual void PumpMessages() = 0;
};

// For callers without a window: no title, no events.
class CNoWindowHost : public IDetailsHost {
public:
    void SetTitle(const std::string&) override {}
    void PumpMessages() override {}
};
