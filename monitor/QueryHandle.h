#pragma once
#include <memory>

#include "platform/ProcessSource.h"

// The query handle a record holds while one sample is in progress. A copy
// starts closed, so copying a record never shares an open handle and the
// record's own copy and assignment can stay the compiler's.
class CQueryHandle {
public:
    CQueryHandle() = default;
    CQueryHandle(const CQueryHandle&) noexcept {}
    CQueryHandle& operator=(const CQueryHandle&) noexcept {
        m_query.reset();
        return *this;
    }
    CQueryHandle(CQueryHandle&&) noexcept = default;
    CQueryHandle& operator=(CQueryHandle&&) noexcept = default;

    IProcessQuery* get() const { return m_query.get(); }
    bool IsOpen() const { return m_query != nullptr; }
    void reset(std::unique_ptr<IProcessQuery> query = nullptr) { m_query = std::move(query); }

private:
    std::unique_ptr<IProcessQuery> m_query;
};
