#include "framework/Forms.h"

#include "framework/Buttons.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

// Records the keys that reach it, with their characters.
class TKeyRecorder : public QWidget {
public:
    explicit TKeyRecorder(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
    std::vector<std::pair<int, QString>> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.emplace_back(event->key(), event->text()); }
};

TEST(FormKeysTest, KeyPreviewSeesEveryKeyBeforeTheFocusedControl)
{
    TForm form;
    auto* edit = new QLineEdit(&form);
    auto* recorder = new TKeyRecorder(&form);
    recorder->move(0, 40);
    form.SetKeyPreview(true);
    std::vector<std::string> seen;
    form.OnKeyDown = [&](QObject* sender, int& key, Qt::KeyboardModifiers modifiers) {
        EXPECT_EQ(sender, &form);
        seen.push_back("down " + std::to_string(key) + (modifiers & Qt::ShiftModifier ? " shift" : "") + " edit:" +
                       edit->text().toStdString());
        if (key == Qt::Key_X) key = 0;
        if (key == Qt::Key_Down) key = Qt::Key_Up;
    };
    form.OnKeyUp = [&](QObject*, int& key, Qt::KeyboardModifiers) { seen.push_back("up " + std::to_string(key)); };
    form.show();
    edit->setFocus();

    QTest::keyClick(form.windowHandle(), Qt::Key_A);
    QTest::keyClick(form.windowHandle(), Qt::Key_X);
    QTest::keyClick(form.windowHandle(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), "a");
    const std::string shift = std::to_string(Qt::Key_Shift);
    const std::string f1 = std::to_string(Qt::Key_F1);
    EXPECT_EQ(seen, (std::vector<std::string>{"down 65 edit:", "up 65", "down 88 edit:a", "up 88",
                                              "down " + shift + " shift edit:a", "down " + f1 + " shift edit:a",
                                              "up " + f1, "up " + shift}));

    // A changed key travels on as the new key, without its character.
    recorder->setFocus();
    QTest::keyClick(form.windowHandle(), Qt::Key_Down);
    QTest::keyClick(form.windowHandle(), Qt::Key_B);
    EXPECT_EQ(recorder->keys, (std::vector<std::pair<int, QString>>{{Qt::Key_Up, QString()}, {Qt::Key_B, "b"}}));

    // Without the preview the window does not hear the control's keys.
    form.SetKeyPreview(false);
    seen.clear();
    QTest::keyClick(form.windowHandle(), Qt::Key_C);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(recorder->keys.back().first, Qt::Key_C);
}

TEST(FormKeysTest, EnterAndEscapeClickTheDefaultAndCancelButtons)
{
    TForm form;
    auto* edit = new QLineEdit(&form);
    auto* ok = new TBitBtn(&form);
    auto* cancel = new TBitBtn(&form);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    std::vector<QObject*> clicked;
    ok->OnClick = cancel->OnClick = [&](QObject* sender) { clicked.push_back(sender); };
    form.show();
    edit->setFocus();
    QTest::keyClick(form.windowHandle(), Qt::Key_Return);
    QTest::keyClick(form.windowHandle(), Qt::Key_Escape);
    // A disabled default button does not answer.
    ok->setEnabled(false);
    QTest::keyClick(form.windowHandle(), Qt::Key_Enter);
    EXPECT_EQ(clicked, (std::vector<QObject*>{ok, cancel}));
}

TEST(FormKeysTest, HintsShowOnlyWhereTheWindowShowsHints)
{
    TForm form;
    auto* control = new QWidget(&form);
    control->resize(50, 20);
    control->setToolTip("Homepage öffnen");
    form.show();
    const auto askForHint = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), control->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(control, &help);
    };
    askForHint();
    EXPECT_TRUE(QToolTip::text().isEmpty());
    form.SetShowHint(true);
    askForHint();
    EXPECT_EQ(QToolTip::text(), "Homepage öffnen");
    QToolTip::hideText();
}

}  // namespace
}  // namespace quorvane
