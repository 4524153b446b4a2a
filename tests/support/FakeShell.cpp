#include "tests/support/FakeShell.h"

namespace quorvane::testing {

std::intptr_t FakeShell::Execute(platform::WindowHandle owner, std::string_view program, std::string_view parameters,
                                 int showCommand)
{
    m_calls.push_back({owner, std::string(program), std::string(parameters), showCommand});
    return m_result;
}

}  // namespace quorvane::testing
