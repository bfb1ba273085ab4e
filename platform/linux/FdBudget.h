#pragma once

// How many descriptors a cache may keep open at once. Only BudgetedFd takes
// and gives back slots, so the count cannot drift from what is really open.
class FdBudget {
public:
    explicit FdBudget(long limit) : m_limit(limit) {}
    FdBudget(const FdBudget&) = delete;
    FdBudget& operator=(const FdBudget&) = delete;

    long InUse() const { return m_inUse; }
    long Limit() const { return m_limit; }

private:
    friend class BudgetedFd;
    bool Take() {
        if (m_inUse >= m_limit) return false;
        ++m_inUse;
        return true;
    }
    void Give() { --m_inUse; }

    long m_limit;
    long m_inUse = 0;
};
