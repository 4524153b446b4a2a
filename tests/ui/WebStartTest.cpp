#include "ui/WebStart.h"

#include "tests/support/FakeRegistry.h"
#include "tests/support/FakeShell.h"
#include "tests/support/HostOverride.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using testing::FakeRegistry;
using testing::FakeShell;
using testing::ScopedHostService;

// A registry holding `command` as the open command of web pages, registered
// the common way: ".HTM" names a type, the type has the command.
void RegisterCommand(FakeRegistry& registry, const std::string& command)
{
    registry.AddKey(".HTM", "htmlfile");
    registry.AddKey("htmlfile\\shell\\open\\command", command);
}

TEST(WebStartTest, SplitsRegisteredCommandsIntoProgramAndArguments)
{
    struct Case {
        std::string command;
        std::string program;
        std::string arguments;
    };
    const Case cases[] = {
        {R"("C:\Programme\Netz\netz.exe" -nohome)", R"(C:\Programme\Netz\netz.exe)", "-nohome"},
        {R"(C:\WEB\VIEW.EXE "%1")", R"(C:\WEB\VIEW.EXE)", ""},
        {R"("C:\Web\Browse.exe" -url "%1" -new)", R"(C:\Web\Browse.exe)", "-url  -new"},
        {R"(C:\ALT\WEB.cOm)", R"(C:\ALT\WEB.cOm)", ""},
        {R"(c:\start.bat)", R"(c:\start.bat)", ""},
        // The rightmost extension wins, even in the arguments.
        {R"(C:\A.EXE -profile D:\B.exe %1)", R"(C:\A.EXE -profile D:\B.exe)", ""},
        // Placeholders of any form go up to the next space, the scan goes on
        // where the deleted one started.
        {"X.EXE %L -a %* -b%1x c %%1", "X.EXE", "-a  -b c"},
        {"X.EXE\t-a\t\x01", "X.EXE", "-a"},
        {"X.EXE \xE4rger \xFC", "X.EXE", "\xE4rger \xFC"},
        // Only a quote at the very start leaves the program path.
        {R"(C:\"W"\V.EXE)", R"(C:\"W"\V.EXE)", ""},
        {R"("C:\V.EXE")", R"(C:\V.EXE)", ""},
        // Commands without a program extension, as posix desktops register
        // them: the first word is the program.
        {"firefox-esr %u", "firefox-esr", ""},
        {R"("/opt/Mein Browser/start" --new-window %U)", "/opt/Mein Browser/start", "--new-window"},
        {R"(  env LANG="de DE" web %u)", "env", "LANG=de DE web"},
        {"/usr/bin/web", "/usr/bin/web", ""},
        {R"("/opt/unclosed %u)", "/opt/unclosed %u", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        FakeRegistry registry;
        RegisterCommand(registry, c.command);
        ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
        BrowserArguments = "left over";
        TWebStart webStart;
        EXPECT_EQ(webStart.SplitBrowserCommand(), c.program);
        EXPECT_EQ(BrowserArguments, c.arguments);
        EXPECT_TRUE(registry.AllClosed());
    }
}

TEST(WebStartTest, FindsTheFirstExtensionThatYieldsACommandAndClosesEveryKey)
{
    struct Case {
        const char* name;
        void (*setUp)(FakeRegistry&);
        std::string command;
    };
    const Case cases[] = {
        {"nothing registered", [](FakeRegistry&) {}, ""},
        {"first extension wins",
         [](FakeRegistry& r) {
             r.AddKey(".HTM", "a");
             r.AddKey("a\\shell\\open\\command", "A.EXE");
             r.AddKey(".HTML", "b");
             r.AddKey("b\\shell\\open\\command", "B.EXE");
         },
         "A.EXE"},
        {"missing .HTM, registered .html in other case",
         [](FakeRegistry& r) {
             r.AddKey(".html", "b");
             r.AddKey("B\\Shell\\Open\\Command", "B.EXE");
         },
         "B.EXE"},
        {"only the last extension",
         [](FakeRegistry& r) {
             r.AddKey(".SHTM", "d");
             r.AddKey("d\\shell\\open\\command", "D.EXE");
         },
         "D.EXE"},
        {"size of the type name cannot be asked: next extension",
         [](FakeRegistry& r) {
             r.AddKey(".HTM", "a");
             r.FailSizeQuery(".HTM");
             r.AddKey(".HTM\\shell\\open\\command", "OWN.EXE");
             r.AddKey("a\\shell\\open\\command", "A.EXE");
             r.AddKey(".HTML", "b");
             r.AddKey("b\\shell\\open\\command", "B.EXE");
         },
         "B.EXE"},
        {"empty type name: the extension's own command",
         [](FakeRegistry& r) {
             r.AddKey(".HTM", "");
             r.AddKey(".HTM\\shell\\open\\command", "OWN.EXE");
         },
         "OWN.EXE"},
        {"type without a command key: the extension's own command",
         [](FakeRegistry& r) {
             r.AddKey(".HTM", "a");
             r.AddKey(".HTM\\shell\\open\\command", "OWN.EXE");
         },
         "OWN.EXE"},
        {"type command empty, unreadable or without value: the extension's own command",
         [](FakeRegistry& r) {
             r.AddKey(".HTM", "a");
             r.AddKey("a\\shell\\open\\command", "");
             r.AddKey(".HTM\\shell\\open\\command", "OWN.EXE");
             r.AddKey(".HTML", "b");
             r.AddKey("b\\shell\\open\\command", "B.EXE");
             r.FailRead("b\\shell\\open\\command");
             r.AddKey(".HTML\\shell\\open\\command", "OWN2.EXE");
         },
         "OWN.EXE"},
        {"a failed read counts as empty",
         [](FakeRegistry& r) {
             r.AddKey(".HTM", "a");
             r.AddKey("a\\shell\\open\\command", "A.EXE");
             r.FailRead("a\\shell\\open\\command");
             r.AddKey(".HTML", "b");
             r.AddKey("b\\shell\\open\\command");
             r.AddKey(".SHTML", "c");
             r.AddKey("c\\shell\\open\\command", "C.EXE");
         },
         "C.EXE"},
        {"type name up to its first NUL",
         [](FakeRegistry& r) {
             r.AddKey(".HTM", std::string("a\0junk", 6));
             r.AddKey("a\\shell\\open\\command", "A.EXE");
         },
         "A.EXE"},
        {"a value of 1,024 characters is kept whole, a longer one cut short",
         [](FakeRegistry& r) {
             r.AddKey(".HTM", "a");
             r.AddKey("a\\shell\\open\\command", std::string(1024, 'k'));
         },
         std::string(1024, 'k')},
        {"longer value",
         [](FakeRegistry& r) {
             r.AddKey(".HTM", "a");
             r.AddKey("a\\shell\\open\\command", std::string(1024, 'k') + "LOST");
         },
         std::string(1024, 'k')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry registry;
        c.setUp(registry);
        ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
        EXPECT_EQ(FindBrowserCommand(), c.command);
        EXPECT_TRUE(registry.AllClosed());
        EXPECT_EQ(registry.OpenCount(), registry.CloseCount());
    }
}

TEST(WebStartTest, TriesTheStepsInOrderAndRepeatsTheLookupOnEveryCall)
{
    FakeRegistry registry;
    registry.AddKey(".HTML", "b");
    registry.AddKey(".HTML\\shell\\open\\command", "B.EXE");
    ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
    const std::vector<std::string> oneLookup = {".HTM", ".HTML", "B\\SHELL\\OPEN\\COMMAND",
                                                ".HTML\\SHELL\\OPEN\\COMMAND"};
    EXPECT_EQ(FindBrowserCommand(), "B.EXE");
    EXPECT_EQ(registry.Attempts(), oneLookup);
    EXPECT_EQ(FindBrowserCommand(), "B.EXE");
    EXPECT_EQ(registry.Attempts().size(), 2 * oneLookup.size());
}

TEST(WebStartTest, StartsTheBrowserWithTheAddressOrTheMailLink)
{
    FakeRegistry registry;
    RegisterCommand(registry, R"("C:\Web\Browse.exe" -url "%1" -new)");
    FakeShell shell;
    ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
    ScopedHostService<platform::Shell> useShell(shell, platform::ReplaceHostShell);

    TWebStart webStart;
    webStart.SetUrl("https://www.quorvane.example.org/?a=b c");
    EXPECT_TRUE(webStart.OpenUrl());
    webStart.SetBrowserState(gwNormal);
    webStart.SetEMail("info@quorvane.example.org");
    webStart.SetEMailSubject("Quorvane V1.24");
    EXPECT_TRUE(webStart.SendEMail());

    ASSERT_EQ(shell.Calls().size(), 2u);
    EXPECT_EQ(shell.Calls()[0].program, R"(C:\Web\Browse.exe)");
    EXPECT_EQ(shell.Calls()[0].parameters, "-url  -new https://www.quorvane.example.org/?a=b c");
    EXPECT_EQ(shell.Calls()[0].showCommand, 3);
    EXPECT_EQ(shell.Calls()[1].parameters, "-url  -new mailto:info@quorvane.example.org?subject=Quorvane V1.24");
    EXPECT_EQ(shell.Calls()[1].showCommand, 1);
    EXPECT_TRUE(registry.AllClosed());
}

TEST(WebStartTest, ParametersStartWithASpaceWhenTheCommandHasNoArguments)
{
    FakeRegistry registry;
    RegisterCommand(registry, R"(C:\WEB\VIEW.EXE "%1")");
    FakeShell shell;
    ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
    ScopedHostService<platform::Shell> useShell(shell, platform::ReplaceHostShell);
    TWebStart webStart;
    webStart.SetUrl("https://a.example.org");
    EXPECT_TRUE(webStart.OpenUrl());
    EXPECT_TRUE(webStart.SendEMail());
    ASSERT_EQ(shell.Calls().size(), 2u);
    EXPECT_EQ(shell.Calls()[0].parameters, " https://a.example.org");
    EXPECT_EQ(shell.Calls()[1].parameters, " mailto:?subject=");
}

TEST(WebStartTest, ReportsFailureWithoutStartingAnythingWhenNoCommandIsRegistered)
{
    FakeRegistry registry;
    registry.AddKey(".HTM", "a");
    FakeShell shell;
    ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
    ScopedHostService<platform::Shell> useShell(shell, platform::ReplaceHostShell);
    BrowserArguments = "kept";
    TWebStart webStart;
    EXPECT_EQ(webStart.SplitBrowserCommand(), "");
    EXPECT_EQ(BrowserArguments, "kept");
    EXPECT_FALSE(webStart.OpenUrl());
    EXPECT_FALSE(webStart.SendEMail());
    EXPECT_TRUE(shell.Calls().empty());
    EXPECT_TRUE(registry.AllClosed());
}

TEST(WebStartTest, OnlyShellResultsAbove32CountAsStarted)
{
    FakeRegistry registry;
    RegisterCommand(registry, "WEB.EXE");
    FakeShell shell;
    ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
    ScopedHostService<platform::Shell> useShell(shell, platform::ReplaceHostShell);
    TWebStart webStart;
    for (const std::intptr_t result : {std::intptr_t{-1}, std::intptr_t{0}, std::intptr_t{2}, std::intptr_t{32}}) {
        shell.SetResult(result);
        EXPECT_FALSE(webStart.OpenUrl()) << result;
        EXPECT_FALSE(webStart.SendEMail()) << result;
    }
    shell.SetResult(33);
    EXPECT_TRUE(webStart.OpenUrl());
    EXPECT_TRUE(webStart.SendEMail());
}

}  // namespace
}  // namespace quorvane
