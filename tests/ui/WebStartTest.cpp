#include "ui/WebStart.h"

#include "tests/support/FakeRegistry.h"
#include "tests/support/FakeShell.h"
#include "tests/support/HostOverride.h"

#include <gtest/gtest.h>

#include <optional>

namespace quorvane {
namespace {

using testing::FakeRegistry;
using testing::FakeShell;
using testing::ScopedHostService;

// Fills a registry from lines "path=value" (a key with a default value),
// "path" (a key without one), "!size path" and "!read path" (that query fails).
void Load(FakeRegistry& registry, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        if (line.rfind("!size ", 0) == 0) {
            registry.FailSizeQuery(line.substr(6));
        } else if (line.rfind("!read ", 0) == 0) {
            registry.FailRead(line.substr(6));
        } else if (const std::size_t equals = line.find('='); equals != std::string::npos) {
            registry.AddKey(line.substr(0, equals), line.substr(equals + 1));
        } else {
            registry.AddKey(line);
        }
    }
}

class WebStartTest : public ::testing::Test {
protected:
    void Register(const std::string& command)
    {
        Load(m_registry, {".HTM=htmlfile", "htmlfile\\shell\\open\\command=" + command});
    }

    FakeRegistry m_registry;
    FakeShell m_shell;
    ScopedHostService<platform::Registry> m_useRegistry{m_registry, platform::ReplaceHostRegistry};
    ScopedHostService<platform::Shell> m_useShell{m_shell, platform::ReplaceHostShell};
    TWebStart m_webStart;
};

TEST(WebStartSplitTest, SplitsRegisteredCommandsIntoProgramAndArguments)
{
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {R"("C:\Programme\Netz\netz.exe" -nohome)", R"(C:\Programme\Netz\netz.exe)", "-nohome"},
        {R"(C:\WEB\VIEW.EXE "%1")", R"(C:\WEB\VIEW.EXE)", ""},
        {R"("C:\Web\Browse.exe" -url "%1" -new)", R"(C:\Web\Browse.exe)", "-url  -new"},
        {R"(C:\ALT\WEB.cOm)", R"(C:\ALT\WEB.cOm)", ""},
        {R"(C:\A.EXE -profile D:\B.bat %1)", R"(C:\A.EXE -profile D:\B.bat)", ""},
        {"X.EXE %L -a %* -b%1x c %%1", "X.EXE", "-a  -b c"},
        {"X.EXE\t-a\t\x01", "X.EXE", "-a"},
        {"X.EXE \xE4rger \xFC", "X.EXE", "\xE4rger \xFC"},
        {R"(C:\"W"\V.EXE)", R"(C:\"W"\V.EXE)", ""},
        // Without a program extension the first word is the program.
        {"firefox-esr %u", "firefox-esr", ""},
        {R"(  "/opt/Mein Browser/start" --new-window %U)", "/opt/Mein Browser/start", "--new-window"},
        {R"(env LANG="de DE" web %u)", "env", "LANG=de DE web"},
    };
    for (const auto& [command, program, arguments] : cases) {
        SCOPED_TRACE(command);
        FakeRegistry registry;
        Load(registry, {".HTM=htmlfile", "htmlfile\\shell\\open\\command=" + command});
        ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
        BrowserArguments = "left over";
        EXPECT_EQ(TWebStart().SplitBrowserCommand(), program);
        EXPECT_EQ(BrowserArguments, arguments);
        EXPECT_TRUE(registry.AllClosed());
    }
}

TEST(WebStartSplitTest, FindsTheFirstExtensionThatYieldsACommandAndClosesEveryKey)
{
    const std::string kLong(1024, 'k');
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, ""},
        {{".HTM=a", ".HTML=b", "b\\shell\\open\\command=B.EXE"}, "B.EXE"},
        {{".htm=a", "A\\Shell\\Open\\Command=A.EXE", ".HTML=b", "b\\shell\\open\\command=B.EXE"}, "A.EXE"},
        {{".SHTM=d", "d\\shell\\open\\command=D.EXE"}, "D.EXE"},
        // The type name's size cannot be asked: even the extension's own key is skipped.
        {{".HTM=a", "!size .HTM", ".HTM\\shell\\open\\command=OWN.EXE", "a\\shell\\open\\command=A.EXE",
          ".SHTML\\shell\\open\\command=E.EXE", ".SHTML="},
         "E.EXE"},
        {{".HTM=a", "a\\shell\\open\\command=", ".HTM\\shell\\open\\command=OWN.EXE"}, "OWN.EXE"},
        {{".HTM=a", "a\\shell\\open\\command", ".HTM\\shell\\open\\command=OWN.EXE"}, "OWN.EXE"},
        {{".HTM=a", "a\\shell\\open\\command=A.EXE", "!size a\\shell\\open\\command",
          ".HTM\\shell\\open\\command=OWN.EXE"},
         "OWN.EXE"},
        // A failed read counts as an empty text.
        {{".HTM=a", "a\\shell\\open\\command=A.EXE", "!read a\\shell\\open\\command", ".HTML=b",
          ".HTML\\shell\\open\\command=B.EXE"},
         "B.EXE"},
        {{std::string(".HTM=a\0junk", 11), "a\\shell\\open\\command=A.EXE"}, "A.EXE"},
        {{".HTM=a", "a\\shell\\open\\command=" + kLong + "LOST"}, kLong},
    };
    for (const auto& [keys, command] : cases) {
        SCOPED_TRACE(keys.empty() ? "empty registry" : keys.back());
        FakeRegistry registry;
        Load(registry, keys);
        ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
        EXPECT_EQ(FindBrowserCommand(), command);
        EXPECT_TRUE(registry.AllClosed());
        EXPECT_EQ(registry.OpenCount(), registry.CloseCount());
    }
}

TEST_F(WebStartTest, TriesTheStepsInOrderAndRepeatsTheLookupOnEveryCall)
{
    Load(m_registry, {".HTML=b", ".HTML\\shell\\open\\command=B.EXE"});
    const std::vector<std::string> oneLookup = {".HTM", ".HTML", "B\\SHELL\\OPEN\\COMMAND",
                                                ".HTML\\SHELL\\OPEN\\COMMAND"};
    EXPECT_EQ(FindBrowserCommand(), "B.EXE");
    EXPECT_EQ(m_registry.Attempts(), oneLookup);
    EXPECT_TRUE(m_webStart.OpenUrl());
    EXPECT_EQ(m_registry.Attempts().size(), 2 * oneLookup.size());
}

TEST_F(WebStartTest, StartsTheBrowserWithTheAddressOrTheMailLink)
{
    Register(R"("C:\Web\Browse.exe" -url "%1" -new)");
    m_webStart.SetUrl("https://www.quorvane.example.org/?a=b c");
    m_webStart.SetOwnerWindow(0x1234);
    EXPECT_TRUE(m_webStart.OpenUrl());
    m_webStart.SetBrowserState(gwNormal);
    m_webStart.SetEMail("info@quorvane.example.org");
    m_webStart.SetEMailSubject("Quorvane V1.24");
    EXPECT_TRUE(m_webStart.SendEMail());

    ASSERT_EQ(m_shell.Calls().size(), 2u);
    EXPECT_EQ(m_shell.Calls()[0].owner, 0x1234u);
    EXPECT_EQ(m_shell.Calls()[0].program, R"(C:\Web\Browse.exe)");
    EXPECT_EQ(m_shell.Calls()[0].parameters, "-url  -new https://www.quorvane.example.org/?a=b%20c");
    EXPECT_EQ(m_shell.Calls()[0].showCommand, 3);
    EXPECT_EQ(m_shell.Calls()[1].parameters, "-url  -new mailto:info@quorvane.example.org?subject=Quorvane%20V1.24");
    EXPECT_EQ(m_shell.Calls()[1].showCommand, 1);
    EXPECT_TRUE(m_registry.AllClosed());
}

// Whatever the texts hold, the address stays one word of the parameter text,
// and a mail link's parts cannot run into one another.
TEST_F(WebStartTest, PercentEncodesWhatAnAddressCannotHold)
{
    Register("WEB.EXE");
    const std::pair<std::string, std::string> urls[] = {
        {"https://a.example.org/x?q=1&r=[2]#f", "https://a.example.org/x?q=1&r=[2]#f"},
        {"https://a.example.org/mit Leer\"zeichen\"", "https://a.example.org/mit%20Leer%22zeichen%22"},
        {"https://a.example.org/%20%zz%4", "https://a.example.org/%20%25zz%254"},
        {"https://a.example.org/<{|}>^`\\\t\x7f", "https://a.example.org/%3C%7B%7C%7D%3E%5E%60%5C%09%7F"},
        {"https://a.example.org/\xC3\xA4rger", "https://a.example.org/%C3%A4rger"},
    };
    for (const auto& [url, sent] : urls) {
        m_webStart.SetUrl(url);
        EXPECT_TRUE(m_webStart.OpenUrl());
        EXPECT_EQ(m_shell.Calls().back().parameters, " " + sent);
    }
    m_webStart.SetEMail("a b@x.example.org?cc=c");
    m_webStart.SetEMailSubject("50% & mehr #1? \"Ja\"/nein=+");
    EXPECT_TRUE(m_webStart.SendEMail());
    EXPECT_EQ(m_shell.Calls().back().parameters,
              " mailto:a%20b@x.example.org%3Fcc%3Dc?subject=50%25%20%26%20mehr%20%231%3F%20%22Ja%22%2Fnein%3D+");
}

TEST(WebStartDesktopEntryTest, ReadsExecLinesByTheirQuotingAndFieldCodes)
{
    const std::string kAddress = "https://a.example.org/?x=1";
    using Words = std::vector<std::string>;
    const std::pair<std::string, std::optional<Words>> cases[] = {
        {"web %u", Words{"web", kAddress}},
        {" web\t--new  %U ", Words{"web", "--new", kAddress}},
        {"web --url=%f --again %F", Words{"web", "--url=" + kAddress, "--again", kAddress}},
        {"web --new", Words{"web", "--new", kAddress}},
        {R"("/opt/Mein Web/web" --profile "/tmp/my profile" %u)",
         Words{"/opt/Mein Web/web", "--profile", "/tmp/my profile", kAddress}},
        {R"(web "a \"b\" \`c\` \$d \\e \f" x"y z"w "")", Words{"web", R"(a "b" `c` $d \e \f)", "xy zw", "", kAddress}},
        {"web %i %c %k --a%d%D%n%N%v%m %u", Words{"web", "--a", kAddress}},
        {"web 100%% %%u 5% %", Words{"web", "100%", "%u", "5%", "%", kAddress}},
        // Field codes inside quotes are text, so the address never lands in
        // an argument that another program reads as a command.
        {R"(sh -c "web %u")", Words{"sh", "-c", "web %u", kAddress}},
        {"/opt/tools.exe.d/web %u", Words{"/opt/tools.exe.d/web", kAddress}},
        {"web --start=https://start.example.com %u", Words{"web", "--start=https://start.example.com", kAddress}},
        {"bin/web %u", std::nullopt},
        {"./web %u", std::nullopt},
        {"%u web", std::nullopt},
        {R"(web "open)", std::nullopt},
        {"", std::nullopt},
        {" %i ", std::nullopt},
        {R"("" %u)", std::nullopt},
    };
    for (const auto& [command, words] : cases) {
        EXPECT_EQ(SplitDesktopEntryCommand(command, kAddress), words) << command;
    }
}

TEST_F(WebStartTest, StartsADesktopEntrysCommandWithItsArgumentsAsTheyAre)
{
    m_registry.SetCommands(platform::CommandFormat::kDesktopEntryExec);
    Register(R"("/opt/Mein Web/web" --profile "/tmp/my profile" %u --new)");
    BrowserArguments = "unberührt";
    m_webStart.SetUrl("https://a.example.org/ein Test");
    EXPECT_TRUE(m_webStart.OpenUrl());
    ASSERT_EQ(m_shell.Calls().size(), 1u);
    EXPECT_EQ(m_shell.Calls()[0].program, "/opt/Mein Web/web");
    EXPECT_EQ(m_shell.Calls()[0].parameters, R"(--profile "/tmp/my profile" https://a.example.org/ein%20Test --new)");
    EXPECT_EQ(BrowserArguments, "unberührt");

    Register("bin/web %u");
    EXPECT_FALSE(m_webStart.SendEMail());
    EXPECT_EQ(m_shell.Calls().size(), 1u);
    EXPECT_TRUE(m_registry.AllClosed());
}

// A desktop's mail program gets the mail link; the browser only where the
// desktop names none that can be started. Windows asks for the browser alone.
TEST_F(WebStartTest, SendsTheMailLinkToTheDesktopsMailProgramElseToTheBrowser)
{
    const std::string kLink = "mailto:info@quorvane.example.org?subject=Quorvane%20V1.24";
    struct TCase {
        platform::CommandFormat format;
        std::vector<std::string> mailKeys;
        std::intptr_t shellResult;
        std::vector<std::string> started;  // program and parameters of each call
        bool result;
    };
    const auto kExec = platform::CommandFormat::kDesktopEntryExec;
    const std::string kMailer = "mail.desktop\\shell\\open\\command=/usr/bin/mailer --compose %u";
    const TCase cases[] = {
        {kExec, {"mailto=mail.desktop", kMailer}, 42, {"/usr/bin/mailer --compose " + kLink}, true},
        {kExec, {}, 42, {"web " + kLink}, true},
        {kExec, {"mailto=mail.desktop"}, 42, {"web " + kLink}, true},
        {kExec, {"mailto=", kMailer}, 42, {"web " + kLink}, true},
        {kExec, {"mailto=mail.desktop", "mail.desktop\\shell\\open\\command=bin/mailer %u"}, 42,
         {"web " + kLink}, true},
        {kExec, {"mailto=mail.desktop", kMailer}, 2, {"/usr/bin/mailer --compose " + kLink, "web " + kLink}, false},
        {platform::CommandFormat::kWindowsCommandLine, {"mailto=mail.desktop", kMailer}, 42, {"web  " + kLink}, true},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const TCase& test = cases[i];
        SCOPED_TRACE(i);
        FakeRegistry registry;
        FakeShell shell;
        ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
        ScopedHostService<platform::Shell> useShell(shell, platform::ReplaceHostShell);
        registry.SetCommands(test.format);
        Load(registry, {".HTM=web.desktop", "web.desktop\\shell\\open\\command=web"});
        Load(registry, test.mailKeys);
        shell.SetResult(test.shellResult);
        m_webStart.SetEMail("info@quorvane.example.org");
        m_webStart.SetEMailSubject("Quorvane V1.24");
        EXPECT_EQ(m_webStart.SendEMail(), test.result);
        std::vector<std::string> started;
        for (const auto& call : shell.Calls()) started.push_back(call.program + " " + call.parameters);
        EXPECT_EQ(started, test.started);
        EXPECT_TRUE(registry.AllClosed());
    }
}

// An Exec line has no length limit: cut at 1,024 characters, a long path
// would name a shorter one, another program; one with a NUL likewise.
TEST_F(WebStartTest, ReadsADesktopEntrysExecLineWholeOrNotAtAll)
{
    m_registry.SetCommands(platform::CommandFormat::kDesktopEntryExec);
    const std::string longPath = "/opt/web" + std::string(1017, 'b') + "/web";
    const std::pair<std::string, std::string> cases[] = {
        {longPath + " %u", longPath},
        {"web" + std::string(2000, ' ') + "--new %u", "web"},
        {std::string("/opt/web\0/evil %u", 18), ""},
        {longPath + std::string(1 << 20, ' ') + "%u", ""},
    };
    std::size_t started = 0;
    for (const auto& [exec, program] : cases) {
        Register(exec);
        m_webStart.SetUrl("https://a.example.org");
        EXPECT_EQ(m_webStart.OpenUrl(), !program.empty()) << exec.size();
        if (!program.empty()) ++started;
        ASSERT_EQ(m_shell.Calls().size(), started) << exec.size();
        if (!program.empty()) {
            EXPECT_EQ(m_shell.Calls().back().program, program);
        }
    }
    EXPECT_TRUE(m_registry.AllClosed());
}

TEST_F(WebStartTest, ParametersStartWithASpaceWhenTheCommandHasNoArguments)
{
    Register(R"(C:\WEB\VIEW.EXE "%1")");
    m_webStart.SetUrl("https://a.example.org");
    EXPECT_TRUE(m_webStart.OpenUrl());
    EXPECT_TRUE(m_webStart.SendEMail());
    ASSERT_EQ(m_shell.Calls().size(), 2u);
    EXPECT_EQ(m_shell.Calls()[0].parameters, " https://a.example.org");
    EXPECT_EQ(m_shell.Calls()[1].parameters, " mailto:?subject=");
}

TEST_F(WebStartTest, ReportsFailureWhenNothingIsRegisteredOrTheShellAnswers32OrLess)
{
    Load(m_registry, {".HTM=a"});
    BrowserArguments = "kept";
    EXPECT_EQ(m_webStart.SplitBrowserCommand(), "");
    EXPECT_EQ(BrowserArguments, "kept");
    EXPECT_FALSE(m_webStart.OpenUrl());
    EXPECT_FALSE(m_webStart.SendEMail());
    EXPECT_TRUE(m_shell.Calls().empty());

    Load(m_registry, {".HTM\\shell\\open\\command=WEB.EXE"});
    for (const std::intptr_t result : {std::intptr_t{-1}, std::intptr_t{2}, std::intptr_t{32}}) {
        m_shell.SetResult(result);
        EXPECT_FALSE(m_webStart.OpenUrl()) << result;
        EXPECT_FALSE(m_webStart.SendEMail()) << result;
    }
    m_shell.SetResult(33);
    EXPECT_TRUE(m_webStart.OpenUrl());
    EXPECT_EQ(m_shell.Calls().size(), 7u);
}

}  // namespace
}  // namespace quorvane
