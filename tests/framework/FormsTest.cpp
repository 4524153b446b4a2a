#include "framework/Forms.h"

#include "framework/Buttons.h"
#include "framework/Screen.h"
#include "runtime/Exceptions.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quorvane {
namespace {

TEST(FormsTest, ModalStateEndsByResultOrClose)
{
    TForm form;
    form.Show();
    try {
        form.ShowModal();
        FAIL() << "a visible window was made modal";
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(error.Message(), "Kann aus einem sichtbaren Fenster kein modales machen");
    }
    EXPECT_FALSE(form.Modal());
    form.Hide();

    auto* ok = new TBitBtn(&form);
    ok->SetModalResult(mrOk);
    std::vector<std::string> events;
    ok->OnClick = [&](QObject*) { events.push_back("click " + std::to_string(form.ModalResult())); };
    // Each step runs once the modal loop is running; every other close is
    // refused, and the step is tried again after the refusal.
    std::function<void()> action = [&] { ok->click(); };
    QTimer step;
    step.setSingleShot(true);
    QObject::connect(&step, &QTimer::timeout, [&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &form);
        action();
    });
    int closes = 0;
    form.OnClose = [&](QObject*, TCloseAction& closeAction) {
        events.push_back("close");
        if (++closes % 2 == 1) {
            closeAction = caNone;
            step.start(0);
        }
    };
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        form.OnClose = nullptr;
        form.SetModalResult(mrAbort);
    });
    watchdog.start(20000);

    step.start(0);
    // The click handler runs to its end before the window closes.
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(events, (std::vector<std::string>{"click 1", "close", "click 1", "close"}));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.windowModality(), Qt::NonModal);

    events.clear();
    action = [&] { form.Close(); };
    step.start(0);
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(events, (std::vector<std::string>{"close", "close"}));
}

TEST(FormsTest, BoundsAndStateTakeEffectAtOnce)
{
    TForm form;
    form.SetTop(30);
    form.SetLeft(20);
    form.SetHeight(300);
    form.SetWidth(400);
    const QRect outer(20, 30, 400, 300);
    EXPECT_EQ(QRect(form.Left(), form.Top(), form.Width(), form.Height()), outer);
    // Once framed, the window keeps the outer bounds it was given.
    form.show();
    EXPECT_EQ(form.frameGeometry(), outer);
    form.SetWindowState(wsMaximized);
    EXPECT_EQ(form.WindowState(), wsMaximized);
    form.SetWindowState(wsNormal);
    EXPECT_EQ(form.WindowState(), wsNormal);
    EXPECT_EQ(QRect(form.Left(), form.Top(), form.Width(), form.Height()), outer);
    // Started maximised, the window still restores to the bounds it was given.
    TForm maximised;
    maximised.SetBounds(20, 30, 400, 300);
    maximised.SetWindowState(wsMaximized);
    maximised.show();
    maximised.SetWindowState(wsNormal);
    EXPECT_EQ(QRect(maximised.Left(), maximised.Top(), maximised.Width(), maximised.Height()), outer);
    // A fixed frame keeps the user from resizing, not the program.
    form.SetBorderStyle(bsSingle);
    form.SetWidth(500);
    EXPECT_EQ(form.Width(), outer.width() + 100);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
}

// Bounds from a damaged settings file must still give a window the user can
// see and grab by its caption bar; bounds that do are kept exactly.
TEST(FormsTest, UnreachableBoundsAreMadeReachableOthersKept)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        QRect given;
        QRect expected;
    };
    const Case cases[] = {
        {{20, 30, 400, 300}, {20, 30, 400, 300}},
        {{-100, 30, 400, 300}, {-100, 30, 400, 300}},
        {{20, -5, 400, 300}, {20, -5, 400, 300}},
        {{20, 30, 400, 0}, {20, 30, 400, 39}},
        {{20, 30, -5, 300}, {20, 30, 136, 300}},
        {{-9000, 5000, 400, 300}, {area.left(), area.bottom() + 1 - 300, 400, 300}},
        {{20, -500, 400, 300}, {20, area.top(), 400, 300}},
        {{5000, 5000, 4000, 3000}, {area.left(), area.top(), 4000, 3000}},
    };
    for (const Case& c : cases) {
        TForm form;
        form.SetBounds(c.given.x(), c.given.y(), c.given.width(), c.given.height());
        form.EnsureReachable();
        EXPECT_EQ(QRect(form.Left(), form.Top(), form.Width(), form.Height()), c.expected) << "given " << c.given.x()
            << ", " << c.given.y() << ", " << c.given.width() << " x " << c.given.height();
        EXPECT_EQ(form.NormalBounds(), c.expected);
    }
}

TEST(FormsTest, ShowAndCloseEventsAndPositionOnTheScreen)
{
    TForm form;
    form.SetBorderStyle(bsNone);
    form.SetFormStyle(fsStayOnTop);
    form.SetPosition(poScreenCenter);
    form.SetClientWidth(336);
    form.SetClientHeight(236);
    std::string events;
    form.OnShow = [&](QObject*) { events += "show "; };
    form.OnResize = [&](QObject*) { events += "resize "; };
    TCloseAction answer = caNone;
    form.OnClose = [&](QObject*, TCloseAction& action) {
        events += "close ";
        action = answer;
    };
    QObject::connect(&form, &TForm::Closed, [&] { events += "closed "; });
    form.Show();
    EXPECT_EQ(QPoint(form.Left(), form.Top()), ScreenCentredPosition(QSize(336, 236), &form));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    form.Show();  // already visible: no new showing
    form.Close();
    EXPECT_TRUE(form.isVisible());
    answer = caHide;
    form.Close();
    EXPECT_FALSE(form.isVisible());
    form.Show();
    EXPECT_EQ(events, "resize show close close closed show ");
}

}  // namespace
}  // namespace quorvane
