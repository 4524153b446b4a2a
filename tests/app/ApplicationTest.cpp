#include "app/Application.h"

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

using quorvane::testing::MessageBoxRecorder;

// A window in the style of the program's windows: controls as members, and
// handlers named by control and event.
class TFormTest : public TForm {
public:
    TFormTest()
    {
        setObjectName("FormTest");
        Edit1 = new QLineEdit(this);
        Edit1->setObjectName("Edit1");
        Button1 = new QPushButton("Testen", this);
        Button1->setObjectName("Button1");
        Button1->move(0, 30);
        Timer1 = new TTimer(this);
        Timer1->setObjectName("Timer1");
        OnCreate = {this, &TFormTest::FormCreate};
        OnClose = {this, &TFormTest::FormClose};
        OnKeyDown = {this, &TFormTest::FormKeyDown};
        connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(Button1); });
        Timer1->OnTimer = {this, &TFormTest::Timer1Timer};
        SetKeyPreview(true);
        SetClientWidth(200);
        SetClientHeight(100);
    }

    QLineEdit* Edit1;
    QPushButton* Button1;
    TTimer* Timer1;

    // What the handlers do; by default nothing fails.
    std::function<void()> onCreate = [] {};
    std::function<void()> onClick = [] {};
    std::function<void()> onTimer = [] {};
    std::function<void()> onClose = [] {};
    std::function<void(int)> onKey = [](int) {};

private:
    void FormCreate(QObject*) { onCreate(); }
    void Button1Click(QObject*) { onClick(); }
    void Timer1Timer(QObject*) { onTimer(); }
    void FormClose(QObject*, TCloseAction&) { onClose(); }
    void FormKeyDown(QObject*, int& key, Qt::KeyboardModifiers) { onKey(key); }
};

class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest() { Application().SetTitle("Quorvane V1.24"); }
    ~ApplicationTest() override { Application().ReleaseForms(); }

    static TMessageBoxRequest ErrorBox(const std::string& text)
    {
        return {"Quorvane V1.24", text, mtError, {"OK"}};
    }

    MessageBoxRecorder boxes;
};

TEST_F(ApplicationTest, ErrorOfAClickIsShownWithAPeriodAndTheProgramGoesOn)
{
    TFormTest* form = nullptr;
    Application().CreateForm(form);
    form->Show();
    struct Case {
        std::function<void()> raise;
        std::string shown;
    };
    const std::vector<Case> cases{
        {[] { throw Exception("Doppelter Wert: 2"); }, "Doppelter Wert: 2."},
        {[] { throw Exception("Kann nicht nach C:\\Quorvane.ini schreiben."); },
         "Kann nicht nach C:\\Quorvane.ini schreiben.."},
        {[] { throw EListError("Listenindex außerhalb des zulässigen Bereichs"); },
         "Listenindex außerhalb des zulässigen Bereichs."},
        {[] { throw std::runtime_error("out of memory"); }, "out of memory."},
    };
    std::vector<TMessageBoxRequest> expected;
    int rowsWritten = 0;
    for (const Case& c : cases) {
        form->onClick = [&] {
            ++rowsWritten;
            c.raise();
            ++rowsWritten;  // never reached: the handler is abandoned
        };
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        expected.push_back(ErrorBox(c.shown));
    }
    EXPECT_EQ(boxes.Requests(), expected);
    // What was written before each error stays.
    EXPECT_EQ(rowsWritten, 4);

    // The next events are handled as ever.
    form->onClick = [&] { rowsWritten = 100; };
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QTest::keyClick(form->windowHandle(), Qt::Key_Q);
    EXPECT_EQ(rowsWritten, 100);
    EXPECT_EQ(boxes.Requests().size(), cases.size());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(ApplicationTest, ErrorOfATimerIsShownAndTheTimerTicksOn)
{
    TFormTest* form = nullptr;
    Application().CreateForm(form);
    int ticks = 0;
    form->onTimer = [&] {
        if (++ticks == 1) throw Exception("I/O-Fehler 21");
    };
    EXPECT_TRUE(form->Timer1->Fire());
    EXPECT_EQ(boxes.Requests(), std::vector<TMessageBoxRequest>{ErrorBox("I/O-Fehler 21.")});
    EXPECT_TRUE(form->Timer1->Fire());
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(boxes.Requests().size(), 1U);
}

TEST_F(ApplicationTest, MouseCaptureEndsBeforeTheBoxAppears)
{
    struct THolder : TMouseCaptureHolder {
        const MessageBoxRecorder* boxes = nullptr;
        int boxesWhenCancelled = -1;
        void CancelMode() override { boxesWhenCancelled = static_cast<int>(boxes->Requests().size()); }
    } holder;
    holder.boxes = &boxes;
    TFormTest* form = nullptr;
    Application().CreateForm(form);
    form->onClick = [&] {
        SetMouseCapture(&holder);
        throw Exception("Gitterindex außerhalb des zulässigen Bereichs");
    };
    form->Show();
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    EXPECT_EQ(holder.boxesWhenCancelled, 0);
    EXPECT_EQ(MouseCapture(), nullptr);
    EXPECT_EQ(boxes.Requests().size(), 1U);
}

TEST_F(ApplicationTest, ActiveWindowIsActiveAgainAfterTheBox)
{
    TFormTest* main = nullptr;
    TFormTest* other = nullptr;
    Application().CreateForm(main);
    Application().CreateForm(other);
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
    main->onClick = [] { throw Exception("Doppelter Wert: 3"); };
    QTest::mouseClick(main->Button1, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), main);
}

TEST_F(ApplicationTest, ErrorInTheCreateHandlerLeavesACompleteWindow)
{
    TFormTest* form = nullptr;
    struct TFailingForm : TFormTest {
        TFailingForm()
        {
            onCreate = [this] {
                SetCaption(Application().Title());
                Edit1->setText("C:\\");
                throw EInOutError(3);
            };
        }
    };
    TFailingForm* failing = nullptr;
    Application().CreateForm(failing);
    Application().CreateForm(form);
    EXPECT_EQ(boxes.Requests(), std::vector<TMessageBoxRequest>{ErrorBox("Ungültiger Dateiname.")});
    ASSERT_NE(failing, nullptr);
    EXPECT_EQ(Application().MainForm(), failing);
    EXPECT_EQ(failing->Caption(), "Quorvane V1.24");
    EXPECT_EQ(failing->Edit1->text(), "C:\\");
    EXPECT_EQ(failing->findChild<QPushButton*>("Button1"), failing->Button1);
    EXPECT_FALSE(failing->isVisible());
}

TEST_F(ApplicationTest, ErrorInTheCloseHandlerKeepsTheWindowOpen)
{
    TFormTest* main = nullptr;
    TFormTest* other = nullptr;
    Application().CreateForm(main);
    Application().CreateForm(other);
    for (TFormTest* form : {main, other}) {
        form->Show();
        form->onClose = [] { throw Exception("Kann nicht nach /home/q/quorvane.ini schreiben"); };
        form->Close();
        EXPECT_TRUE(form->isVisible());
    }
    EXPECT_FALSE(Application().Terminated());
    EXPECT_EQ(boxes.Requests().size(), 2U);
    // A later attempt starts afresh and goes through.
    other->onClose = [] {};
    other->Close();
    EXPECT_FALSE(other->isVisible());
}

TEST_F(ApplicationTest, ClosingTheMainWindowEndsTheLoopAnotherOneIsOnlyHidden)
{
    TFormTest* main = nullptr;
    TFormTest* other = nullptr;
    Application().CreateForm(main);
    Application().CreateForm(other);
    const QPointer<TFormTest> otherAlive(other);
    bool otherHiddenWhileRunning = false;
    bool loopEndedByTheWatchdog = false;
    QTimer step;
    step.setSingleShot(true);
    QObject::connect(&step, &QTimer::timeout, [&] {
        other->Show();
        other->Close();
        otherHiddenWhileRunning = !other->isVisible() && !Application().Terminated();
        main->Close();
    });
    step.start(0);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        loopEndedByTheWatchdog = true;
        Application().Terminate();
    });
    watchdog.start(20000);

    EXPECT_EQ(Application().Run(), 0);
    EXPECT_FALSE(loopEndedByTheWatchdog);
    EXPECT_TRUE(otherHiddenWhileRunning);
    EXPECT_TRUE(Application().Terminated());
    EXPECT_FALSE(main->isVisible());
    EXPECT_NE(otherAlive, nullptr);
}

TEST_F(ApplicationTest, ModalShowOfAVisibleWindowFromAKeyIsShownAsAnError)
{
    TFormTest* main = nullptr;
    TFormTest* splash = nullptr;
    Application().CreateForm(main);
    Application().CreateForm(splash);
    main->onKey = [&](int key) {
        if (key == Qt::Key_F1) splash->ShowModal();
    };
    main->Show();
    splash->Show();
    main->Edit1->setFocus();
    QTest::keyClick(main->windowHandle(), Qt::Key_F1);
    EXPECT_EQ(boxes.Requests(),
              std::vector<TMessageBoxRequest>{ErrorBox("Kann aus einem sichtbaren Fenster kein modales machen.")});
    EXPECT_TRUE(splash->isVisible());
    EXPECT_FALSE(splash->Modal());
    // The key went no further than the handler that failed.
    EXPECT_TRUE(main->Edit1->text().isEmpty());
}

TEST_F(ApplicationTest, ErrorWhileAModalWindowClosesKeepsItModal)
{
    TFormTest* main = nullptr;
    TFormTest* box = nullptr;
    Application().CreateForm(main);
    Application().CreateForm(box);
    int attempts = 0;
    box->onClose = [&] {
        if (++attempts == 1) throw Exception("Kann nicht nach /home/q/quorvane.ini schreiben");
    };
    bool stillModalAfterError = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (attempts == 1) stillModalAfterError = box->Modal() && box->isVisible();
        if (attempts > 5) box->SetModalResult(mrAbort);
        box->Close();
    });
    closer.start(0);
    EXPECT_EQ(box->ShowModal(), mrCancel);
    EXPECT_EQ(attempts, 2);
    EXPECT_TRUE(stillModalAfterError);
    EXPECT_EQ(boxes.Requests().size(), 1U);
}

TEST_F(ApplicationTest, TitleIsTheDisplayNameToo)
{
    Application().SetTitle("Quorvane V1.24");
    EXPECT_EQ(Application().Title(), "Quorvane V1.24");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Quorvane V1.24");
}

}  // namespace
}  // namespace quorvane
