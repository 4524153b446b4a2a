#pragma once

namespace quorvane::platform {

// Where a host accessor keeps the replacement a test put in place of the
// real backend.
template <class Service>
class HostSlot {
public:
    Service& Get(Service& native) const { return m_replacement ? *m_replacement : native; }

    Service* Replace(Service* replacement)
    {
        Service* previous = m_replacement;
        m_replacement = replacement;
        return previous;
    }

private:
    Service* m_replacement = nullptr;
};

}  // namespace quorvane::platform
