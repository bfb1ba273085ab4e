#pragma once
#include <utility>

#include "platform/linux/FdBudget.h"
#include "platform/linux/UniqueFd.h"

// An open descriptor that holds one slot of a budget for as long as it is
// open: closing, resetting, moving from or destroying it gives the slot
// back. The budget must outlive it.
class BudgetedFd {
public:
    BudgetedFd() = default;
    ~BudgetedFd() { Reset(); }
    BudgetedFd(BudgetedFd&& o) noexcept
        : m_fd(std::move(o.m_fd)), m_budget(std::exchange(o.m_budget, nullptr)) {}
    BudgetedFd& operator=(BudgetedFd&& o) noexcept {
        if (this != &o) {
            Reset();
            m_fd = std::move(o.m_fd);
            m_budget = std::exchange(o.m_budget, nullptr);
        }
        return *this;
    }
    BudgetedFd(const BudgetedFd&) = delete;
    BudgetedFd& operator=(const BudgetedFd&) = delete;

    // Takes fd over when the budget has a slot left (fd is left empty);
    // otherwise leaves fd with the caller and returns false. Whatever this
    // held before is closed first.
    bool Adopt(FdBudget& budget, UniqueFd& fd) {
        Reset();
        if (!fd || !budget.Take()) return false;
        m_fd = std::move(fd);
        m_budget = &budget;
        return true;
    }
    void Reset() {
        m_fd.Reset();
        if (m_budget) std::exchange(m_budget, nullptr)->Give();
    }

    int Get() const { return m_fd.Get(); }
    bool Valid() const { return m_fd.Valid(); }
    explicit operator bool() const { return Valid(); }

private:
    UniqueFd m_fd;
    FdBudget* m_budget = nullptr;
};
