#pragma once

#include <utility>

namespace fb {

// Owns one reference to a client library interface and releases it on every
// path out of a scope, errors included.
template <typename T>
class Ref
{
public:
    Ref() = default;
    explicit Ref(T *object) : m_object(object) {}
    ~Ref() { reset(); }
    Ref(Ref &&other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    Ref &operator=(Ref &&other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_object, nullptr));
        return *this;
    }
    Ref(const Ref &) = delete;
    Ref &operator=(const Ref &) = delete;

    T *get() const { return m_object; }
    T *operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // Gives the reference up without releasing it (after a call that released it, such as free()).
    T *detach() { return std::exchange(m_object, nullptr); }
    void reset(T *object = nullptr)
    {
        if (m_object)
            m_object->release();
        m_object = object;
    }

private:
    T *m_object = nullptr;
};

} // namespace fb
