#pragma once

namespace quorvane::testing {

// Puts a fake in place of a host service for the lifetime of the guard:
//   ScopedHostService<platform::FileSystem> guard(fake, platform::ReplaceHostFileSystem);
template <class Service>
class ScopedHostService {
public:
    using Replace = Service* (*)(Service*);

    ScopedHostService(Service& fake, Replace replace) : m_replace(replace), m_previous(replace(&fake)) {}
    ~ScopedHostService() { m_replace(m_previous); }

    ScopedHostService(const ScopedHostService&) = delete;
    ScopedHostService& operator=(const ScopedHostService&) = delete;

private:
    Replace m_replace;
    Service* m_previous;
};

}  // namespace quorvane::testing
