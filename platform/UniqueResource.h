#pragma once
#include <utility>

// Owns one system resource and closes it on destruction. Traits gives the
// value type, its "none" value, what counts as valid and how to close it.
template <class Traits>
class UniqueResource {
public:
    using Value = typename Traits::Value;

    UniqueResource() = default;
    explicit UniqueResource(Value value) : m_value(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(UniqueResource&& o) noexcept : m_value(o.Release()) {}
    UniqueResource& operator=(UniqueResource&& o) noexcept {
        if (this != &o) Reset(o.Release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Value Get() const { return m_value; }
    bool Valid() const { return Traits::Valid(m_value); }
    explicit operator bool() const { return Valid(); }
    void Reset(Value value = Traits::kNone) {
        if (Valid()) Traits::Close(m_value);
        m_value = value;
    }
    // Gives up ownership: the caller closes the resource from now on.
    Value Release() { return std::exchange(m_value, Traits::kNone); }

private:
    Value m_value = Traits::kNone;
};
