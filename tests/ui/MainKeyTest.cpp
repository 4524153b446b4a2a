#include "ui/Main.h"

#include "app/Application.h"
#include "framework/Buttons.h"
#include "framework/StdCtrls.h"
#include "framework/Timers.h"
#include "tests/support/MessageBoxRecorder.h"
#include "ui/NAbout.h"

#include <QApplication>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

// Plays the user who reads the about box and presses OK, once it is up.
class TCloseWhenShown : public QObject {
public:
    bool shownModally = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            QTimer::singleShot(0, NormalAboutBox, [this] {
                shownModally = NormalAboutBox->isVisible() && NormalAboutBox->Modal();
                NormalAboutBox->BitBtnOK->click();
            });
        }
        return false;
    }
};

// Both windows as the start-up creates them, the about box still waiting for
// its opening timer.
class MainKeyTest : public ::testing::Test {
protected:
    MainKeyTest()
    {
        Application().SetTitle("Quorvane V1.24");
        Application().CreateForm(FormMain);
        Application().CreateForm(NormalAboutBox);
        FormMain->Show();
        QApplication::setActiveWindow(FormMain);
        FormMain->findChild<TEdit*>("Edit2")->setFocus();
    }
    ~MainKeyTest() override { Application().ReleaseForms(); }

    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(FormMain->windowHandle(), key, modifiers);
    }
};

TEST_F(MainKeyTest, F1DuringTheSplashIsRefused)
{
    NormalAboutBox->OpenTimer->Fire();
    ASSERT_TRUE(NormalAboutBox->isVisible());
    testing::MessageBoxRecorder boxes;
    Press(Qt::Key_F1);
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_EQ(boxes.Requests()[0], (TMessageBoxRequest{"Quorvane V1.24",
                                                       "Kann aus einem sichtbaren Fenster kein modales machen.",
                                                       mtError,
                                                       {"OK"}}));
    EXPECT_FALSE(NormalAboutBox->Modal());
    NormalAboutBox->CloseTimer->Fire();
    EXPECT_FALSE(NormalAboutBox->isVisible()) << "the splash still closes itself";
}

TEST_F(MainKeyTest, F1AfterTheSplashOpensTheAboutBoxModally)
{
    NormalAboutBox->OpenTimer->Fire();
    NormalAboutBox->CloseTimer->Fire();
    ASSERT_FALSE(NormalAboutBox->isVisible());

    for (Qt::KeyboardModifiers modifiers :
        { Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier) }) {
        TCloseWhenShown closer;
        NormalAboutBox->installEventFilter(&closer);
        Press(Qt::Key_F1, modifiers);
        NormalAboutBox->removeEventFilter(&closer);
        const bool shownModally = closer.shownModally;
        EXPECT_TRUE(shownModally);
        EXPECT_FALSE(NormalAboutBox->isVisible());
    }

    Press(Qt::Key_F2);
    EXPECT_FALSE(NormalAboutBox->isVisible()) << "other keys pass untouched";
}

}  // namespace
}  // namespace quorvane
