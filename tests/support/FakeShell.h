#pragma once

#include "platform/Shell.h"

#include <string>
#include <vector>

namespace quorvane::testing {

struct TShellCall {
    platform::WindowHandle owner = 0;
    std::string program;
    std::string parameters;
    int showCommand = 0;
};

// A shell that starts nothing: it records every call and answers with the
// result a test sets (a started program, 42, unless told otherwise).
class FakeShell final : public platform::Shell {
public:
    void SetResult(std::intptr_t result) { m_result = result; }
    const std::vector<TShellCall>& Calls() const { return m_calls; }

    std::intptr_t Execute(platform::WindowHandle owner, std::string_view program, std::string_view parameters,
                          int showCommand) override;

private:
    std::intptr_t m_result = 42;
    std::vector<TShellCall> m_calls;
};

}  // namespace quorvane::testing
