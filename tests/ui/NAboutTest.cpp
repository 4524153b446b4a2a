#include "ui/NAbout.h"

#include "app/Application.h"
#include "framework/Buttons.h"
#include "framework/Labels.h"
#include "framework/Panels.h"
#include "framework/Screen.h"
#include "framework/Timers.h"
#include "tests/support/FakeRegistry.h"
#include "tests/support/FakeShell.h"
#include "tests/support/HostOverride.h"
#include "tests/support/MessageBoxRecorder.h"

#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

using testing::MessageBoxRecorder;

class NAboutTest : public ::testing::Test {
protected:
    void SetUp() override { Recreate(); }

    void TearDown() override
    {
        Application().OnHelp = nullptr;
        Application().ReleaseForms();
    }

    // As at start-up: the main window (F1 shows the box modally), then the box, hidden and waiting.
    void Recreate()
    {
        Application().ReleaseForms();
        Application().SetTitle("Quorvane V1.24");
        Application().CreateForm(m_mainForm).SetKeyPreview(true);
        m_mainForm->OnKeyDown = [](QObject*, int& key, Qt::KeyboardModifiers) {
            if (key == Qt::Key_F1) NormalAboutBox->ShowModal();
        };
        m_mainForm->Show();
        m_box = &Application().CreateForm(NormalAboutBox);
    }

    // Presses F1 in the main window; `inside` runs once the modal box handles events.
    void PressF1(const std::function<void()>& inside = [] {})
    {
        QTimer::singleShot(0, m_box, inside);
        QTimer watchdog;
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            ADD_FAILURE() << "the modal state did not end";
            m_box->SetModalResult(mrAbort);
        });
        watchdog.start(10000);
        QTest::keyClick(m_mainForm->windowHandle(), Qt::Key_F1);
    }

    std::string View() const
    {
        std::string view = m_box->CopyrightPanel->isVisible() ? "copyright" : "";
        if (m_box->ContactPanel->isVisible()) view += "contact";
        if (!m_box->ZelPanel->isVisible()) view += " without logo";
        return view + (m_box->focusWidget() == m_box->BitBtnOK ? ", OK focused" : "");
    }

    TForm* m_mainForm = nullptr;
    TNormalAboutBox* m_box = nullptr;
};

TEST_F(NAboutTest, SplashOpensItselfOnceAndClosesItselfOrOnOk)
{
    const std::function<void()> ends[] = {
        [this] { m_box->CloseTimer->Fire(); },
        [this] { QTest::keyClick(m_box->windowHandle(), Qt::Key_Return); },
        [this] { QTest::keyClick(m_box->windowHandle(), Qt::Key_Escape); },
    };
    for (const auto& end : ends) {
        Recreate();
        EXPECT_EQ(std::pair(m_box->OpenTimer->Interval(), m_box->CloseTimer->Interval()), std::pair(100, 3500));
        EXPECT_FALSE(m_box->isVisible() || m_box->CloseTimer->Enabled());
        ASSERT_TRUE(m_box->OpenTimer->Fire());
        EXPECT_TRUE(m_box->isVisible() && !m_box->Modal() && m_box->CloseTimer->Active());
        EXPECT_EQ(m_box->pos(), ScreenCentredPosition(m_box->size(), m_box));
        end();
        EXPECT_FALSE(m_box->isVisible() || m_box->CloseTimer->Fire());
        EXPECT_FALSE(m_box->OpenTimer->Fire()) << "the splash came back";
    }
}

TEST_F(NAboutTest, F1BeforeTheSplashIsModalUntilTheSplashWouldEndAndRefusedDuringIt)
{
    PressF1([this] {
        EXPECT_TRUE(m_box->Modal());
        m_box->SBtnMail->click();
        EXPECT_TRUE(m_box->OpenTimer->Fire());
        EXPECT_EQ(View(), "contact, OK focused") << "the box was shown afresh";
        EXPECT_TRUE(m_box->CloseTimer->Fire());
    });
    EXPECT_FALSE(m_box->isVisible() || m_box->OpenTimer->Enabled() || m_box->CloseTimer->Enabled());

    Recreate();
    m_box->OpenTimer->Fire();
    MessageBoxRecorder boxes;
    PressF1();
    EXPECT_EQ(boxes.Requests(),
              (std::vector<TMessageBoxRequest>{
                  {"Quorvane V1.24", "Kann aus einem sichtbaren Fenster kein modales machen.", mtError, {"OK"}}}));
    EXPECT_TRUE(m_box->isVisible() && m_box->CloseTimer->Active());
}

TEST_F(NAboutTest, EveryShowingStartsOnTheCopyrightViewWithOkFocused)
{
    std::vector<int> helpAsked;
    Application().OnHelp = [&helpAsked](int context) {
        helpAsked.push_back(context);
        return false;
    };
    EXPECT_EQ(m_box->focusWidget(), nullptr);
    m_box->OpenTimer->Fire();
    EXPECT_EQ(View(), "copyright, OK focused");
    m_box->SBtnZel->click();
    EXPECT_EQ(View(), "copyright, OK focused");
    m_box->SBtnMail->click();
    m_box->SBtnMail->click();
    EXPECT_EQ(View(), "contact, OK focused");
    // F1 released in the box asks for its help context, which shows nothing.
    QTest::keyClick(m_box->windowHandle(), Qt::Key_F2);
    QTest::keyClick(m_box->windowHandle(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(helpAsked, std::vector<int>{999});
    m_box->BitBtnOK->click();

    m_box->BitBtnOK->clearFocus();
    PressF1([this] {
        EXPECT_EQ(View(), "copyright, OK focused");
        QTest::keyClick(m_box->windowHandle(), Qt::Key_Escape);
    });
    EXPECT_FALSE(m_box->isVisible());
    EXPECT_EQ(m_box->ModalResult(), mrOk);
}

TEST_F(NAboutTest, ProductNameIsTheTitleCentredInItsPanel)
{
    for (const std::string title : {"Quorvane V1.24", "WWWWWWWW Quorvane V1.24 & ein sehr langer Name"}) {
        SCOPED_TRACE(title);
        Application().SetTitle(title);
        m_box->Show();
        const int left = m_box->ProductName->x();
        const int width = m_box->ProductName->width();
        EXPECT_EQ(m_box->Caption() + "|" + m_box->ProductName->Caption(), title + "|" + title);
        EXPECT_EQ(width, m_box->ProductName->sizeHint().width());
        EXPECT_LE(std::abs(2 * left + width - 318), 1);
        // Division truncates toward zero, also when the name is wider than the panel.
        if (title.size() > 20) {
            EXPECT_EQ(left, -((width - 318) / 2));
        }
        m_box->Close();
    }
}

TEST_F(NAboutTest, LinksStartTheBrowserOrWarnAndTheBoxStaysAsItWas)
{
    testing::FakeRegistry registry;
    testing::FakeShell shell;
    testing::ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
    testing::ScopedHostService<platform::Shell> useShell(shell, platform::ReplaceHostShell);
    m_box->OpenTimer->Fire();
    m_box->SBtnMail->click();
    // The subject is the title as it is now, not as the box was shown.
    Application().SetTitle("Quorvane V1.24 & Co");
    MessageBoxRecorder boxes;
    const auto clickBoth = [this] {
        QTest::mouseClick(m_box->Label5, Qt::LeftButton);
        QTest::mouseClick(m_box->Label4, Qt::LeftButton);
    };
    clickBoth();  // no browser is registered
    registry.AddKey(".HTM", "htmlfile");
    registry.AddKey("htmlfile\\shell\\open\\command", R"("C:\Web\view.exe" -new "%1")");
    shell.SetResult(2);
    clickBoth();  // it cannot be started
    shell.SetResult(42);
    clickBoth();

    const TMessageBoxRequest mail{"Warnung", "Ihr Mail-Client kann nicht gestartet werden.", mtWarning, {"OK"}};
    const TMessageBoxRequest browser{"Warnung", "Ihr Browser kann nicht gestartet werden.", mtWarning, {"OK"}};
    EXPECT_EQ(boxes.Requests(), (std::vector<TMessageBoxRequest>{mail, browser, mail, browser}));
    std::vector<std::string> calls;
    for (const testing::TShellCall& call : shell.Calls()) {
        calls.push_back(call.program + "|" + call.parameters + "|" + std::to_string(call.showCommand));
        // The shell's questions appear in front of the box, which stays on top.
        EXPECT_EQ(call.owner, m_box->winId());
    }
    const std::string mailTo =
        R"(C:\Web\view.exe|-new mailto:info@quorvane.example.org?subject=Quorvane%20V1.24%20%26%20Co|3)";
    const std::string homePage = R"(C:\Web\view.exe|-new https://www.quorvane.example.org|3)";
    EXPECT_EQ(calls, (std::vector<std::string>{mailTo, homePage, mailTo, homePage}));
    EXPECT_TRUE(View() == "contact, OK focused" && m_box->CloseTimer->Active());
}

}  // namespace
}  // namespace quorvane
