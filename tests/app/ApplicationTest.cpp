#include "app/Application.h"

#include "framework/Controls.h"
#include "framework/MouseCapture.h"
#include "framework/Timers.h"
#include "runtime/Exceptions.h"
#include "tests/support/MessageBoxRecorder.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvane {
namespace {

// A window in the style of the program's windows: controls as members and
// handlers named by control and event. Every handler calls `Run` with its
// name, where a test decides what it does.
class TFormTest : public TForm {
public:
    TFormTest()
    {
        setObjectName("FormTest");
        Edit1 = CreateControl<QLineEdit>(this, "Edit1");
        Button1 = CreateControl<QPushButton>(this, "Button1");
        Button1->setText("Testen");
        SetControlBounds(Button1, 0, 30, 90, 25);
        Timer1 = CreateControl<TTimer>(this, "Timer1");
        OnCreate = {this, &TFormTest::FormCreate};
        OnClose = {this, &TFormTest::FormClose};
        OnKeyDown = {this, &TFormTest::FormKeyDown};
        Timer1->OnTimer = {this, &TFormTest::Timer1Timer};
        connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(Button1); });
        SetKeyPreview(true);
        Run = s_nextRun;
    }

    QLineEdit* Edit1;
    QPushButton* Button1;
    TTimer* Timer1;

    std::function<void(const std::string& handler)> Run;
    // What the next window created does, its create handler included.
    static inline std::function<void(const std::string&)> s_nextRun = [](const std::string&) {};

private:
    void FormCreate(QObject*) { Run("FormCreate"); }
    void FormClose(QObject*, TCloseAction&) { Run("FormClose"); }
    void Button1Click(QObject*) { Run("Button1Click"); }
    void Timer1Timer(QObject*) { Run("Timer1Timer"); }
    void FormKeyDown(QObject*, int& key, Qt::KeyboardModifiers)
    {
        if (key == Qt::Key_F1) Run("FormKeyDown F1");
    }
};

TMessageBoxRequest ErrorBox(const std::string& text) { return {"Quorvane V1.24", text, mtError, {"OK"}}; }

class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest() { Application().SetTitle("Quorvane V1.24"); }
    ~ApplicationTest() override
    {
        Application().ReleaseForms();
        TFormTest::s_nextRun = [](const std::string&) {};
    }

    TFormTest* Create()
    {
        TFormTest* form = nullptr;
        Application().CreateForm(form);
        return form;
    }

    testing::MessageBoxRecorder boxes;
};

TEST_F(ApplicationTest, ErrorOfAHandlerIsShownWithAPeriodAndTheProgramGoesOn)
{
    TFormTest* form = Create();
    form->Show();
    struct THolder : TMouseCaptureHolder {
        const testing::MessageBoxRecorder* boxes = nullptr;
        int boxesWhenCancelled = -1;
        void CancelMode() override { boxesWhenCancelled = static_cast<int>(boxes->Requests().size()); }
    } holder;
    holder.boxes = &boxes;
    int written = 0;
    std::function<void()> raise;
    form->Run = [&](const std::string&) {
        ++written;
        raise();
        written += 100;  // never reached: the handler is abandoned
    };
    const auto click = [&] { QTest::mouseClick(form->Button1, Qt::LeftButton); };
    const auto tick = [&] { EXPECT_TRUE(form->Timer1->Fire()); };
    struct Case {
        std::function<void()> deliver;
        std::function<void()> raise;
        std::string shown;
    };
    const std::vector<Case> cases{
        {click, [] { throw Exception("Doppelter Wert: 2"); }, "Doppelter Wert: 2."},
        {click, [] { throw Exception("Kann nicht nach C:\\Q.ini schreiben."); }, "Kann nicht nach C:\\Q.ini schreiben.."},
        {click, [] { throw std::runtime_error("out of memory"); }, "out of memory."},
        {tick, [] { throw EInOutError(21); }, "I/O-Fehler 21."},
        {click,
         [&] {
             // A drag in progress ends before the box appears.
             SetMouseCapture(&holder);
             throw EListError("Listenindex außerhalb des zulässigen Bereichs");
         },
         "Listenindex außerhalb des zulässigen Bereichs."},
    };
    std::vector<TMessageBoxRequest> expected;
    for (const Case& c : cases) {
        raise = c.raise;
        c.deliver();
        expected.push_back(ErrorBox(c.shown));
        EXPECT_EQ(boxes.Requests(), expected);
    }
    EXPECT_EQ(holder.boxesWhenCancelled, 4);
    EXPECT_EQ(MouseCapture(), nullptr);
    // What the handlers did before their errors stays.
    EXPECT_EQ(written, 5);

    // The next events are handled as ever.
    raise = [] {};
    click();
    tick();
    EXPECT_EQ(written, 5 + 2 * 101);
    EXPECT_EQ(boxes.Requests().size(), cases.size());
}

TEST_F(ApplicationTest, ActiveWindowIsActiveAgainAfterTheBox)
{
    TFormTest* main = Create();
    TFormTest* other = Create();
    other->Show();
    main->Show();
    main->activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), main);
    // While the box is up, something else takes the activation.
    boxes.OnShow = [&](const TMessageBoxRequest&) {
        other->activateWindow();
        QCoreApplication::processEvents();
    };
    main->Run = [](const std::string&) { throw Exception("Doppelter Wert: 3"); };
    QTest::mouseClick(main->Button1, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), main);
}

TEST_F(ApplicationTest, ErrorInTheCreateHandlerLeavesACompleteWindow)
{
    TFormTest::s_nextRun = [](const std::string& handler) {
        if (handler == "FormCreate") throw EInOutError(3);
    };
    TFormTest* failing = Create();
    TFormTest::s_nextRun = [](const std::string&) {};
    Create();
    EXPECT_EQ(boxes.Requests(), std::vector<TMessageBoxRequest>{ErrorBox("Ungültiger Dateiname.")});
    ASSERT_NE(failing, nullptr);
    EXPECT_EQ(Application().MainForm(), failing);
    EXPECT_EQ(failing->findChild<QPushButton*>("Button1"), failing->Button1);
    EXPECT_FALSE(failing->isVisible());
}

TEST_F(ApplicationTest, ErrorInTheCloseHandlerKeepsTheWindowOpen)
{
    TFormTest* main = Create();
    TFormTest* other = Create();
    bool fail = true;
    const auto close = [&](const std::string& handler) {
        if (handler == "FormClose" && fail) throw Exception("Kann nicht nach /home/q/q.ini schreiben");
    };
    for (TFormTest* form : {main, other}) {
        form->Run = close;
        form->Show();
        form->Close();
        EXPECT_TRUE(form->isVisible());
    }
    EXPECT_FALSE(Application().Terminated());
    // A later attempt starts afresh and goes through.
    fail = false;
    other->Close();
    EXPECT_FALSE(other->isVisible());

    EXPECT_EQ(boxes.Requests().size(), 2U);
}

TEST_F(ApplicationTest, ClosingTheMainWindowEndsTheLoopAnotherOneIsOnlyHidden)
{
    TFormTest* main = Create();
    TFormTest* other = Create();
    const QPointer<TFormTest> otherAlive(other);
    bool otherHiddenWhileRunning = false;
    QTimer step;
    step.setSingleShot(true);
    QObject::connect(&step, &QTimer::timeout, [&] {
        other->Show();
        other->Close();
        otherHiddenWhileRunning = !other->isVisible() && !Application().Terminated();
        main->Close();
    });
    step.start(0);
    bool endedByWatchdog = false;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        endedByWatchdog = true;
        Application().Terminate();
    });
    watchdog.start(20000);

    EXPECT_EQ(Application().Run(), 0);
    EXPECT_FALSE(endedByWatchdog);
    EXPECT_TRUE(otherHiddenWhileRunning);
    EXPECT_TRUE(Application().Terminated());
    EXPECT_FALSE(main->isVisible());
    EXPECT_NE(otherAlive, nullptr);
}

TEST_F(ApplicationTest, ModalShowOfAVisibleWindowFromAKeyIsShownAsAnError)
{
    TFormTest* main = Create();
    TFormTest* splash = Create();
    main->Run = [&](const std::string& handler) {
        if (handler == "FormKeyDown F1") splash->ShowModal();
    };
    main->Show();
    splash->Show();
    main->Edit1->setFocus();
    QTest::keyClick(main->windowHandle(), Qt::Key_F1);
    EXPECT_EQ(boxes.Requests(),
              std::vector<TMessageBoxRequest>{ErrorBox("Kann aus einem sichtbaren Fenster kein modales machen.")});
    EXPECT_TRUE(splash->isVisible());
    EXPECT_FALSE(splash->Modal());
}

}  // namespace
}  // namespace quorvane
