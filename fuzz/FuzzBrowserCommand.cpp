// A registered browser command is text some installer wrote into the
// registry; whatever it holds, the launcher must cut it into a program and
// its arguments without reading past it, close every key it opened, and hand
// the shell a parameter text built exactly from the arguments and the
// address. The same text read as a desktop entry's Exec line must reach the
// shell as exactly the arguments the whole line stands for.
#include "ui/WebStart.h"

#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/posix/PosixShell.h"
#include "tests/support/FakeRegistry.h"
#include "tests/support/FakeShell.h"

#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using quorvane::testing::FakeRegistry;
using quorvane::testing::FakeShell;

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Just behind the rightmost ".EXE", ".BAT" or ".COM" in any letter case; 0 for none.
std::size_t ReferenceExtensionEnd(std::string_view command)
{
    for (std::size_t end = command.size(); end >= 4; --end) {
        std::string tail;
        for (char c : command.substr(end - 4, 4)) tail += AsciiUpper(c);
        if (tail == ".EXE" || tail == ".BAT" || tail == ".COM") return end;
    }
    return 0;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) < 33; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Every valid percent escape replaced by its byte.
std::string PercentDecoded(std::string_view text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

bool IsAddressCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("-._~:/?#[]@!$&'()*+,;=%").find(c) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // Where the command is registered: under a document type that ".HTM"
    // names, or below the extension's own key.
    const bool underType = input.ConsumeBool();
    const std::string url = input.ConsumeRandomLengthString(32);
    const std::string registered = input.ConsumeRemainingBytesAsString();

    FakeRegistry registry;
    if (underType) {
        registry.AddKey(".HTM", std::string("htmlfile"));
        registry.AddKey("htmlfile\\shell\\open\\command", registered);
    } else {
        // An empty type name sends the lookup to the extension's own command.
        registry.AddKey(".HTM", std::string());
        registry.AddKey(".HTM\\shell\\open\\command", registered);
    }
    FakeShell shell;
    quorvane::platform::Registry* previousRegistry = quorvane::platform::ReplaceHostRegistry(&registry);
    quorvane::platform::Shell* previousShell = quorvane::platform::ReplaceHostShell(&shell);

    // The value counts up to its first NUL, and at most 1,024 characters of it.
    std::string command = registered.substr(0, registered.find('\0'));
    if (command.size() > 1024) command.resize(1024);
    FUZZ_CHECK(quorvane::FindBrowserCommand() == command);

    quorvane::BrowserArguments = "vorher";
    quorvane::TWebStart webStart;
    const std::string program = webStart.SplitBrowserCommand();
    const std::string& arguments = quorvane::BrowserArguments;

    if (command.empty()) {
        FUZZ_CHECK(program.empty() && arguments == "vorher");
    } else {
        const std::size_t end = ReferenceExtensionEnd(command);
        if (end > 0) {
            std::string expected = command.substr(0, end);
            if (expected.front() == '"') expected.erase(0, 1);
            FUZZ_CHECK(program == expected);
        } else {
            FUZZ_CHECK(command.find(program) != std::string::npos);
        }
        // The arguments hold no quote and no placeholder and have no blank at either end.
        FUZZ_CHECK(arguments.find_first_of("\"%") == std::string::npos);
        FUZZ_CHECK(arguments.empty() || (!IsBlank(arguments.front()) && !IsBlank(arguments.back())));
        FUZZ_CHECK(arguments.size() <= command.size());
    }

    // The shell is called exactly when there is a program, with the
    // arguments, one space and the address, encoded so that it holds only
    // the characters of addresses and still means the same.
    webStart.SetUrl(url);
    const bool started = webStart.OpenUrl();
    FUZZ_CHECK(started == !program.empty());
    FUZZ_CHECK(shell.Calls().size() == (program.empty() ? 0u : 1u));
    if (!program.empty()) {
        FUZZ_CHECK(shell.Calls()[0].program == program);
        const std::string prefix = quorvane::BrowserArguments + " ";
        const std::string& parameters = shell.Calls()[0].parameters;
        FUZZ_CHECK(parameters.compare(0, prefix.size(), prefix) == 0);
        const std::string address = parameters.substr(prefix.size());
        FUZZ_CHECK(std::all_of(address.begin(), address.end(), IsAddressCharacter));
        FUZZ_CHECK(PercentDecoded(address) == PercentDecoded(url));

        // Read as an Exec line, the command is read whole, or refused when
        // it holds a NUL, and starts its own program with exactly its own
        // arguments, whatever they hold.
        registry.SetCommands(quorvane::platform::CommandFormat::kDesktopEntryExec);
        const auto exec = registered.find('\0') == std::string::npos
                              ? quorvane::SplitDesktopEntryCommand(registered, address)
                              : std::nullopt;
        FUZZ_CHECK(webStart.OpenUrl() == exec.has_value());
        FUZZ_CHECK(shell.Calls().size() == (exec ? 2u : 1u));
        if (exec) {
            const std::string& startedProgram = shell.Calls()[1].program;
            FUZZ_CHECK(startedProgram == exec->front());
            FUZZ_CHECK(!startedProgram.empty() &&
                       (startedProgram.front() == '/' || startedProgram.find('/') == std::string::npos));
            const std::vector<std::string> tail(exec->begin() + 1, exec->end());
            FUZZ_CHECK(quorvane::platform::posix::SplitCommandLine(shell.Calls()[1].parameters) == tail);
        }
    }

    FUZZ_CHECK(registry.AllClosed());
    quorvane::platform::ReplaceHostShell(previousShell);
    quorvane::platform::ReplaceHostRegistry(previousRegistry);
    return 0;
}
