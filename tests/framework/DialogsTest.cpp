#include "framework/Dialogs.h"

#include "framework/Screen.h"
#include "tests/support/MessageBoxRecorder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(DialogsTest, WarningGoesThroughTheSeam)
{
    testing::MessageBoxRecorder boxes;
    MessageDlg("Ihr Browser kann nicht gestartet werden.", mtWarning);
    const TMessageBoxRequest warning{"Warnung", "Ihr Browser kann nicht gestartet werden.", mtWarning, {"OK"}};
    EXPECT_EQ(boxes.Requests(), std::vector<TMessageBoxRequest>{warning});
}

TEST(DialogsTest, RealBoxHasTheRequestedMakeUp)
{
    struct Case {
        TMsgDlgType type;
        QMessageBox::Icon icon;
    };
    for (const Case& c : {Case{mtWarning, QMessageBox::Warning}, Case{mtError, QMessageBox::Critical},
                          Case{mtInformation, QMessageBox::Information}}) {
        const auto box = BuildMessageBox({"Quorvane V1.24", "Doppelter Wert: 2.", c.type, {"OK"}});
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(box->windowTitle(), "Quorvane V1.24");
        EXPECT_EQ(box->text(), "Doppelter Wert: 2.");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
        ASSERT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->buttons()[0]->text(), "OK");
        // It stands in the middle of the screen when it appears.
        box->setWindowModality(Qt::NonModal);
        box->show();
        EXPECT_EQ(box->frameGeometry().topLeft(), ScreenCentredPosition(box->frameGeometry().size(), box.get()));
    }
}

// However short the message, the caption fits between the frame's icon and
// buttons, also where the window manager writes it in bold.
TEST(DialogsTest, BoxIsWideEnoughForItsCaption)
{
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    for (const char* caption : {"Quorvane V1.24", "Warnung", "Ein sehr langer Titel für eine sehr kurze Meldung"}) {
        const auto box = BuildMessageBox({caption, "Ok.", mtError, {"OK"}});
        box->setWindowModality(Qt::NonModal);
        box->show();
        EXPECT_GE(box->width(), metrics.horizontalAdvance(caption) + 4 * metrics.height()) << caption;
        EXPECT_LE(box->width(), metrics.horizontalAdvance(caption) + 4 * metrics.height() + 100) << caption;
    }
    // A caption longer than the screen is wide does not push the box off it.
    const auto box = BuildMessageBox({std::string(400, 'W'), "Ok.", mtError, {"OK"}});
    box->setWindowModality(Qt::NonModal);
    box->show();
    EXPECT_LE(box->width(), QGuiApplication::primaryScreen()->availableGeometry().width());
}

// The box must never open behind a window of the program that stays on top
// (the about box, the splash), and the window the user worked in gets the
// keyboard back afterwards, whatever took it meanwhile.
TEST(DialogsTest, BoxCoversWindowsOnTopAndGivesTheActivationBack)
{
    const TMessageBoxRequest warning{"Warnung", "Ihr Browser kann nicht gestartet werden.", mtWarning, {"OK"}};
    EXPECT_FALSE(BuildMessageBox(warning)->windowFlags() & Qt::WindowStaysOnTopHint);
    QWidget onTop(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    onTop.show();
    EXPECT_TRUE(BuildMessageBox(warning)->windowFlags() & Qt::WindowStaysOnTopHint);

    QWidget other;
    other.show();
    onTop.activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &onTop);
    testing::MessageBoxRecorder boxes;
    boxes.OnShow = [&](const TMessageBoxRequest&) {
        other.activateWindow();
        QCoreApplication::processEvents();
    };
    MessageDlg(warning.text, mtWarning);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &onTop);
}

}  // namespace
}  // namespace quorvane
