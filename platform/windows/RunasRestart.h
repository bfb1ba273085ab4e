#pragma once
#include <functional>

#include "platform/PrivilegedHelper.h"

// On Windows the privileged side is the program itself: Start restarts its
// own file with administrator rights ("runas"); once the system has started
// that copy, onStarted ends this one.
class CRunasRestart : public IPrivilegedHelper {
public:
    // owner: the window the system's consent prompt belongs to (HWND).
    CRunasRestart(void* owner, std::function<void()> onStarted)
        : m_owner(owner), m_onStarted(std::move(onStarted)) {}
    void SetOwner(void* owner) { m_owner = owner; }
    StartResult Start() override;
    // This process never runs with what Start gave: the new one does.
    bool IsRunning() const override { return false; }

private:
    void* m_owner;
    std::function<void()> m_onStarted;
};
