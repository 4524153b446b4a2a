#include "widgets/Spin.h"

#include "framework/Beep.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quorvane {
namespace {

// The main window's section count, as its window description stores it.
TSpinEditDescription SectionCount()
{
    TSpinEditDescription stored;
    stored.limit = slBoth;
    stored.maxValue = 10;
    stored.minValue = 2;
    stored.value = 3;
    return stored;
}

TSpinEditDescription Described(TSpinLimit limit, std::int32_t maxValue, std::int32_t minValue, std::int32_t value)
{
    TSpinEditDescription stored;
    stored.limit = limit;
    stored.maxValue = maxValue;
    stored.minValue = minValue;
    stored.value = value;
    return stored;
}

std::string Text(const TSpinEdit& spin) { return spin.text().toStdString(); }

// A shown, active window with the spin box and a second field that can
// take the focus away from it; every OnChange records the value it reads.
class SpinEditTest : public ::testing::Test {
protected:
    void Build(TSpinEditDescription stored = SectionCount())
    {
        m_window.resize(300, 100);
        m_spin = new TSpinEdit(&m_window, std::move(stored));
        m_spin->setObjectName(QStringLiteral("SpinEdit1"));
        m_spin->setGeometry(125, 9, 70, 24);
        m_spin->SetOnChange([this] { m_seen.push_back(m_spin->Value()); });
        m_other = new QLineEdit(&m_window);
        m_other->setGeometry(125, 40, 70, 24);
        m_spin->show();
        m_other->show();
        m_window.show();
        QApplication::setActiveWindow(&m_window);
    }

    // The way in with the keyboard, which selects the number.
    void EnterField()
    {
        m_spin->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(m_spin->hasFocus());
    }

    void LeaveField() { m_other->setFocus(Qt::TabFocusReason); }

    QWidget m_window;
    TSpinEdit* m_spin = nullptr;
    QLineEdit* m_other = nullptr;
    std::vector<std::int32_t> m_seen;
};

TEST_F(SpinEditTest, BuildsFromTheStoredPropertiesInTheirOrderWithoutEvents)
{
    struct Row {
        TSpinEditDescription stored;
        std::int32_t minValue, maxValue;
        std::string text;
    };
    const std::vector<Row> rows = {
        {SectionCount(), 2, 10, "3"},
        {Described(slBoth, 10, 2, 0), 2, 10, "2"},
        // The maximum comes first, so a minimum above it is refused.
        {Described(slBoth, 1, 2, 5), 0, 1, "1"},
        {Described(slNone, 1, 2, 5), 2, 1, "5"},
        {TSpinEditDescription{}, 0, 0, "0"},
    };
    for (const Row& row : rows) {
        int changes = 0;
        TSpinEditDescription stored = row.stored;
        stored.onChange = [&changes] { ++changes; };
        TSpinEdit spin(nullptr, stored);
        EXPECT_EQ(spin.MinValue(), row.minValue) << row.text;
        EXPECT_EQ(spin.MaxValue(), row.maxValue) << row.text;
        EXPECT_EQ(Text(spin), row.text);
        EXPECT_EQ(changes, 0) << row.text;
        spin.SetValue(row.minValue - 1);
        spin.SetValue(row.minValue + 1);
        EXPECT_GE(changes, 1) << "creation is over, so changes are reported: " << row.text;
    }
}

TEST_F(SpinEditTest, BoundsAndClamping)
{
    struct Row {
        const char* what;
        TSpinEditDescription stored;
        std::function<void(TSpinEdit&)> write;
        std::int32_t minValue, maxValue;
        std::string text;
        int changes;
    };
    const std::vector<Row> rows = {
        {"max below min ignored", SectionCount(), [](TSpinEdit& s) { s.SetMaxValue(1); }, 2, 10, "3", 0},
        {"max equal to min ignored", SectionCount(), [](TSpinEdit& s) { s.SetMaxValue(2); }, 2, 10, "3", 0},
        {"min equal to max ignored", SectionCount(), [](TSpinEdit& s) { s.SetMinValue(10); }, 2, 10, "3", 0},
        {"min raises the value", SectionCount(), [](TSpinEdit& s) { s.SetMinValue(5); }, 5, 10, "5", 1},
        {"max lowers the value", Described(slBoth, 10, 2, 8), [](TSpinEdit& s) { s.SetMaxValue(5); }, 2, 5, "5", 1},
        {"value above max", SectionCount(), [](TSpinEdit& s) { s.SetValue(50); }, 2, 10, "10", 1},
        {"value below min", SectionCount(), [](TSpinEdit& s) { s.SetValue(-7); }, 2, 10, "2", 1},
        {"same text, no event", SectionCount(), [](TSpinEdit& s) { s.SetValue(3); }, 2, 10, "3", 0},
        {"no limit takes max below min", Described(slNone, 10, 2, 3),
         [](TSpinEdit& s) {
             s.SetMaxValue(1);
             s.SetValue(-7);
         },
         2, 1, "-7", 1},
        {"min only, below", Described(slMin, 10, 2, 3), [](TSpinEdit& s) { s.SetValue(-7); }, 2, 10, "2", 1},
        {"min only, above", Described(slMin, 10, 2, 3), [](TSpinEdit& s) { s.SetValue(50); }, 2, 10, "50", 1},
        {"max only, above", Described(slMax, 10, 2, 3), [](TSpinEdit& s) { s.SetValue(50); }, 2, 10, "10", 1},
        {"max only, below", Described(slMax, 10, 2, 3), [](TSpinEdit& s) { s.SetValue(-7); }, 2, 10, "-7", 1},
        {"both bounds on an empty range", Described(slNone, 1, 5, 3), [](TSpinEdit& s) { s.SetLimit(slBoth); }, 5,
         5, "5", 1},
        {"typed value corrected by a bound write", SectionCount(),
         [](TSpinEdit& s) {
             s.setText(QStringLiteral("25"));
             s.SetMaxValue(1);
         },
         2, 10, "10", 2},
        {"step past the number range", Described(slNone, 0, 0, 2147483647), [](TSpinEdit& s) { s.StepUp(); }, 0, 0,
         "2147483647", 0},
    };
    for (const Row& row : rows) {
        int changes = 0;
        TSpinEdit spin(nullptr, row.stored);
        spin.SetOnChange([&changes] { ++changes; });
        row.write(spin);
        EXPECT_EQ(spin.MinValue(), row.minValue) << row.what;
        EXPECT_EQ(spin.MaxValue(), row.maxValue) << row.what;
        EXPECT_EQ(Text(spin), row.text) << row.what;
        EXPECT_EQ(changes, row.changes) << row.what;
    }
}

TEST_F(SpinEditTest, ArrowsAtTheMaximumAndTextsThatAreNoNumber)
{
    Build();
    struct Row {
        QString text;
        TTimerSpeedButton* (TSpinButton::*arrow)() const;
        std::int32_t valueBefore;
        std::string textAfter;
        std::vector<std::int32_t> seen;
    };
    const std::vector<Row> rows = {
        {QStringLiteral("10"), &TSpinButton::UpButton, 10, "10", {}},
        {QStringLiteral("10"), &TSpinButton::DownButton, 10, "9", {9}},
        {QString(), &TSpinButton::UpButton, 2, "3", {3}},
        {QStringLiteral("-"), &TSpinButton::UpButton, 2, "3", {3}},
        {QStringLiteral("abc"), &TSpinButton::DownButton, 2, "2", {2}},
        {QStringLiteral("2147483648"), &TSpinButton::UpButton, 2, "3", {3}},
        {QStringLiteral("  7"), &TSpinButton::UpButton, 7, "8", {8}},
        {QStringLiteral("$A"), &TSpinButton::DownButton, 10, "9", {9}},
    };
    for (const Row& row : rows) {
        m_spin->setText(row.text);
        m_seen.clear();
        EXPECT_EQ(m_spin->Value(), row.valueBefore) << row.text.toStdString();
        TTimerSpeedButton* arrow = (m_spin->SpinButton()->*row.arrow)();
        QTest::mouseClick(arrow, Qt::LeftButton, {}, arrow->rect().center());
        EXPECT_EQ(Text(*m_spin), row.textAfter) << row.text.toStdString();
        EXPECT_EQ(m_seen, row.seen) << row.text.toStdString();
    }
}

TEST_F(SpinEditTest, TypedNumbersAreCorrectedWhenTheFocusLeaves)
{
    struct Row {
        const char* typed;
        std::vector<std::int32_t> seenWhileTyping;
        std::string textAfterLeaving;
        std::vector<std::int32_t> seenAfterLeaving;
    };
    const std::vector<Row> rows = {
        {"25", {2, 25}, "10", {2, 25, 10}},
        {"0", {0}, "2", {0, 2}},
        {"-1", {2, -1}, "2", {2, -1, 2}},
        {"6", {6}, "6", {6}},
        {"-", {2}, "-", {2}},
    };
    for (const Row& row : rows) {
        m_seen.clear();
        Build();
        EnterField();
        EXPECT_EQ(m_spin->selectedText(), QStringLiteral("3"));
        QTest::keyClicks(m_spin, QString::fromLatin1(row.typed));
        EXPECT_EQ(m_seen, row.seenWhileTyping) << row.typed;
        LeaveField();
        EXPECT_EQ(Text(*m_spin), row.textAfterLeaving) << row.typed;
        EXPECT_EQ(m_seen, row.seenAfterLeaving) << row.typed;
        delete m_spin;
        delete m_other;
    }
}

TEST_F(SpinEditTest, KeysAndTheCharacterFilter)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    struct Row {
        const char* what;
        bool editorEnabled;
        bool readOnly;
        std::function<void(QWidget*)> press;
        std::string text;
        int beeps;
    };
    const auto key = [](Qt::Key code, Qt::KeyboardModifiers modifiers = {}) {
        return [code, modifiers](QWidget* field) { QTest::keyClick(field, code, modifiers); };
    };
    const auto character = [](char16_t typed) {
        return [typed](QWidget* field) {
            QTest::sendKeyEvent(QTest::KeyAction::Click, field, Qt::Key_unknown, QString(QChar(typed)), {});
        };
    };
    const std::vector<Row> rows = {
        {"digit", true, false, key(Qt::Key_7), "37", 0},
        {"sign", true, false, key(Qt::Key_Minus), "3-", 0},
        {"decimal separator", true, false, key(Qt::Key_Comma), "3,", 0},
        {"point is no separator here", true, false, key(Qt::Key_Period), "3", 1},
        {"letter", true, false, key(Qt::Key_A), "3", 1},
        {"space", true, false, key(Qt::Key_Space), "3", 1},
        {"umlaut", true, false, character(u'ä'), "3", 1},
        {"enter", true, false, key(Qt::Key_Return), "3", 1},
        {"backspace", true, false, key(Qt::Key_Backspace), "", 0},
        {"delete types nothing", true, false, key(Qt::Key_Delete), "3", 0},
        {"up steps", true, false, key(Qt::Key_Up), "4", 0},
        {"down steps", true, false, key(Qt::Key_Down), "2", 0},
        {"digit without editor", false, false, key(Qt::Key_7), "3", 1},
        {"backspace without editor", false, false, key(Qt::Key_Backspace), "3", 1},
        {"up without editor", false, false, key(Qt::Key_Up), "4", 0},
        {"paste without editor", false, false, key(Qt::Key_V, Qt::ControlModifier), "3", 0},
        {"cut without editor", false, false, key(Qt::Key_X, Qt::ControlModifier), "3", 0},
        {"paste", true, false, key(Qt::Key_V, Qt::ControlModifier), "37", 0},
        {"paste when read-only", true, true, key(Qt::Key_V, Qt::ControlModifier), "3", 0},
        {"up when read-only", true, true, key(Qt::Key_Up), "3", 1},
    };
    QApplication::clipboard()->setText(QStringLiteral("7"));
    for (const Row& row : rows) {
        m_seen.clear();
        Build();
        m_spin->SetEditorEnabled(row.editorEnabled);
        m_spin->SetReadOnly(row.readOnly);
        EnterField();
        m_spin->end(false);
        const int beepsBefore = BeepCount();
        row.press(m_spin);
        EXPECT_EQ(Text(*m_spin), row.text) << row.what;
        EXPECT_EQ(BeepCount() - beepsBefore, row.beeps) << row.what;
        EXPECT_EQ(m_seen.size(), row.text == "3" ? 0U : 1U) << row.what;
        delete m_spin;
        delete m_other;
    }
    QLocale::setDefault(QLocale::c());
}

TEST_F(SpinEditTest, FocusSelectionAndArrowPress)
{
    Build();
    EnterField();
    EXPECT_EQ(m_spin->selectedText(), QStringLiteral("3"));

    LeaveField();
    m_spin->SetAutoSelect(false);
    EnterField();
    EXPECT_TRUE(m_spin->selectedText().isEmpty());

    // A press on an arrow brings the focus into the field, without selecting
    // the number, since the mouse button is down.
    m_spin->SetAutoSelect(true);
    LeaveField();
    TTimerSpeedButton* up = m_spin->SpinButton()->UpButton();
    QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
    EXPECT_TRUE(m_spin->hasFocus());
    EXPECT_TRUE(m_spin->selectedText().isEmpty());
    QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
    EXPECT_EQ(Text(*m_spin), "4");
}

TEST_F(SpinEditTest, ArrowsSitAtTheRightEdgeAndTheTextStaysClearOfThem)
{
    Build();
    TSpinButton* arrows = m_spin->SpinButton();
    EXPECT_EQ(arrows->geometry(), QRect(70 - 15 - 2, 2, 15, 24 - 4));
    EXPECT_EQ(arrows->UpButton()->geometry(), QRect(0, 0, 15, 10));
    EXPECT_EQ(arrows->DownButton()->geometry(), QRect(0, 9, 15, 11));

    // No text pixel may appear between the edit rectangle and the right edge.
    const auto textRightOfEditRect = [this] {
        m_spin->setText(QStringLiteral("88888888888888888888"));
        m_spin->end(false);
        QImage image(m_spin->size(), QImage::Format_RGB32);
        m_spin->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        const QRect edit = m_spin->EditRect();
        const QRgb ground = image.pixel(edit.right() + 1, edit.center().y());
        int foreign = 0;
        for (int x = edit.right() + 1; x < m_spin->SpinButton()->x() + 15; ++x) {
            for (int y = edit.top() + 2; y < edit.bottom() - 2; ++y) foreign += image.pixel(x, y) != ground ? 1 : 0;
        }
        int textPixels = 0;
        for (int x = edit.left(); x <= edit.right(); ++x) {
            for (int y = edit.top(); y < edit.bottom(); ++y) textPixels += image.pixel(x, y) != ground ? 1 : 0;
        }
        EXPECT_GT(textPixels, 0);
        return foreign;
    };
    EXPECT_EQ(textRightOfEditRect(), 0);

    m_spin->SetFrame(false);
    EXPECT_EQ(arrows->geometry(), QRect(70 - 15, 1, 15, 24 - 1));
    EXPECT_EQ(textRightOfEditRect(), 0);

    QFont font = m_spin->font();
    font.setPixelSize(13);
    m_spin->setFont(font);
    const int fieldHeight = QFontMetrics(font).height();
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    m_spin->resize(70, 5);
    EXPECT_EQ(m_spin->height(), fieldHeight + std::min(fieldHeight, systemHeight) / 4 + 4);
}

}  // namespace
}  // namespace quorvane
