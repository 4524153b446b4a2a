#pragma once

#include <utility>

#include <unistd.h>

namespace quorvane::platform::posix {

// A file descriptor closed when it goes out of scope, so that no early return
// of the backend's many system-call sequences leaks one.
class TDescriptor {
public:
    explicit TDescriptor(int descriptor = -1) : m_descriptor(descriptor) {}
    ~TDescriptor() { Reset(); }
    TDescriptor(TDescriptor&& other) noexcept : m_descriptor(std::exchange(other.m_descriptor, -1)) {}
    TDescriptor& operator=(TDescriptor&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_descriptor = std::exchange(other.m_descriptor, -1);
        }
        return *this;
    }

    int Get() const { return m_descriptor; }
    explicit operator bool() const { return m_descriptor >= 0; }

    // Hands the descriptor over to a caller that closes it itself.
    int Release() { return std::exchange(m_descriptor, -1); }

private:
    void Reset()
    {
        if (m_descriptor >= 0) ::close(m_descriptor);
        m_descriptor = -1;
    }

    int m_descriptor;
};

}  // namespace quorvane::platform::posix
