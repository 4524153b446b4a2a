#include "widgets/Spin.h"

#include "framework/Beep.h"

#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quorvane {
namespace {

TSpinEditDescription Described(TSpinLimit limit, std::int32_t maxValue, std::int32_t minValue, std::int32_t value)
{
    TSpinEditDescription stored;
    stored.limit = limit;
    stored.maxValue = maxValue;
    stored.minValue = minValue;
    stored.value = value;
    return stored;
}

// The main window's section count.
const TSpinEditDescription kSectionCount = Described(slBoth, 10, 2, 3);

std::string Text(const TSpinEdit& spin) { return spin.text().toStdString(); }

// A shown, active window with the spin box and a second field that can take
// the focus away from it; every OnChange records the value it reads.
class SpinEditTest : public ::testing::Test {
protected:
    void Build(TSpinEditDescription stored = kSectionCount)
    {
        delete m_spin;
        delete m_other;
        m_seen.clear();
        m_window.resize(300, 100);
        m_spin = new TSpinEdit(&m_window, std::move(stored));
        m_spin->setGeometry(125, 9, 70, 24);
        m_spin->SetOnChange([this] { m_seen.push_back(m_spin->Value()); });
        m_other = new QLineEdit(&m_window);
        m_other->setGeometry(125, 40, 70, 24);
        m_spin->show();
        m_other->show();
        m_window.show();
        QApplication::setActiveWindow(&m_window);
    }

    // Entering with the keyboard selects the number.
    void EnterField() { m_spin->setFocus(Qt::TabFocusReason); }
    void LeaveField() { m_other->setFocus(Qt::TabFocusReason); }

    QWidget m_window;
    TSpinEdit* m_spin = nullptr;
    QLineEdit* m_other = nullptr;
    std::vector<std::int32_t> m_seen;
};

// The first rows build the spin box from stored properties only: the maximum
// is applied before the minimum, so with both bounds a stored minimum above
// the stored maximum is refused, and creation reports no change.
TEST_F(SpinEditTest, StoredPropertiesBoundsAndClamping)
{
    using Write = std::function<void(TSpinEdit&)>;
    struct Row {
        const char* what;
        TSpinEditDescription stored;
        Write write;
        std::int32_t minValue, maxValue;
        std::string text;
        int changes;
    };
    const Write nothing = [](TSpinEdit&) {};
    const std::vector<Row> rows = {
        {"stored", kSectionCount, nothing, 2, 10, "3", 0},
        {"stored value below min", Described(slBoth, 10, 2, 0), nothing, 2, 10, "2", 0},
        {"stored min above max", Described(slBoth, 1, 2, 5), nothing, 0, 1, "1", 0},
        {"stored without limit", Described(slNone, 1, 2, 5), nothing, 2, 1, "5", 0},
        {"max below min", kSectionCount, [](TSpinEdit& s) { s.SetMaxValue(1); }, 2, 10, "3", 0},
        {"max equal to min", kSectionCount, [](TSpinEdit& s) { s.SetMaxValue(2); }, 2, 10, "3", 0},
        {"min equal to max", kSectionCount, [](TSpinEdit& s) { s.SetMinValue(10); }, 2, 10, "3", 0},
        {"min raises the value", kSectionCount, [](TSpinEdit& s) { s.SetMinValue(5); }, 5, 10, "5", 1},
        {"max lowers the value", Described(slBoth, 10, 2, 8), [](TSpinEdit& s) { s.SetMaxValue(5); }, 2, 5, "5", 1},
        {"above max", kSectionCount, [](TSpinEdit& s) { s.SetValue(50); }, 2, 10, "10", 1},
        {"below min", kSectionCount, [](TSpinEdit& s) { s.SetValue(-7); }, 2, 10, "2", 1},
        {"same text", kSectionCount, [](TSpinEdit& s) { s.SetValue(3); }, 2, 10, "3", 0},
        {"no limit", Described(slNone, 10, 2, 3), [](TSpinEdit& s) { s.SetMaxValue(1); s.SetValue(-7); }, 2, 1, "-7", 1},
        {"min only", Described(slMin, 10, 2, 3), [](TSpinEdit& s) { s.SetValue(-7); }, 2, 10, "2", 1},
        {"max only", Described(slMax, 10, 2, 3), [](TSpinEdit& s) { s.SetValue(50); }, 2, 10, "10", 1},
        {"empty range", Described(slNone, 1, 5, 3), [](TSpinEdit& s) { s.SetLimit(slBoth); }, 5, 5, "5", 1},
        {"typed text corrected by a bound write", kSectionCount,
         [](TSpinEdit& s) { s.setText(QStringLiteral("25")); s.SetMaxValue(1); }, 2, 10, "10", 2},
        {"step past the number range", Described(slNone, 0, 0, 2147483647), [](TSpinEdit& s) { s.StepUp(); }, 0, 0,
         "2147483647", 0},
    };
    for (const Row& row : rows) {
        int changes = 0;
        TSpinEditDescription stored = row.stored;
        stored.onChange = [&changes] { ++changes; };
        TSpinEdit spin(nullptr, stored);
        row.write(spin);
        EXPECT_EQ(spin.MinValue(), row.minValue) << row.what;
        EXPECT_EQ(spin.MaxValue(), row.maxValue) << row.what;
        EXPECT_EQ(Text(spin), row.text) << row.what;
        EXPECT_EQ(changes, row.changes) << row.what;
    }
}

TEST_F(SpinEditTest, ArrowsAtTheMaximumAndTextsThatAreNoNumber)
{
    struct Row {
        const char* text;
        bool up;
        std::int32_t valueBefore;
        std::vector<std::int32_t> seen;
    };
    Build();
    LeaveField();
    for (const Row& row : {Row{"10", true, 10, {}}, Row{"10", false, 10, {9}}, Row{"", true, 2, {3}},
                           Row{"-", true, 2, {3}}, Row{"abc", false, 2, {2}}, Row{"2147483648", true, 2, {3}},
                           Row{"  7", true, 7, {8}}, Row{"$A", false, 10, {9}}}) {
        m_spin->setText(QString::fromLatin1(row.text));
        m_seen.clear();
        EXPECT_EQ(m_spin->Value(), row.valueBefore) << row.text;
        TTimerSpeedButton* arrow = row.up ? m_spin->SpinButton()->UpButton() : m_spin->SpinButton()->DownButton();
        QTest::mouseClick(arrow, Qt::LeftButton, {}, arrow->rect().center());
        EXPECT_TRUE(m_spin->hasFocus()) << "a press on an arrow moves the focus into the field";
        EXPECT_TRUE(m_spin->selectedText().isEmpty()) << "the mouse button was down when the focus came";
        EXPECT_EQ(m_seen, row.seen) << row.text;
        EXPECT_EQ(m_spin->Value(), row.seen.empty() ? row.valueBefore : row.seen.back()) << row.text;
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
    for (const Row& row : {Row{"25", {2, 25}, "10", {2, 25, 10}}, Row{"0", {0}, "2", {0, 2}},
                           Row{"-1", {2, -1}, "2", {2, -1, 2}}, Row{"-", {2}, "-", {2}}}) {
        Build();
        EnterField();
        EXPECT_EQ(m_spin->selectedText(), QStringLiteral("3"));
        QTest::keyClicks(m_spin, QString::fromLatin1(row.typed));
        EXPECT_EQ(m_seen, row.seenWhileTyping) << row.typed;
        LeaveField();
        EXPECT_EQ(Text(*m_spin), row.textAfterLeaving) << row.typed;
        EXPECT_EQ(m_seen, row.seenAfterLeaving) << row.typed;
    }
}

TEST_F(SpinEditTest, KeysAndTheCharacterFilter)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication::clipboard()->setText(QStringLiteral("7"));
    struct Row {
        const char* what;
        bool editorEnabled, readOnly;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::string text;
        int beeps;
    };
    const std::vector<Row> rows = {
        {"digit", true, false, Qt::Key_7, {}, "7", 0},
        {"decimal separator", true, false, Qt::Key_Comma, {}, ",", 0},
        {"point is no separator here", true, false, Qt::Key_Period, {}, "3", 1},
        {"letter", true, false, Qt::Key_A, {}, "3", 1},
        {"enter", true, false, Qt::Key_Return, {}, "3", 1},
        {"backspace", true, false, Qt::Key_Backspace, {}, "", 0},
        {"up", true, false, Qt::Key_Up, {}, "4", 0},
        {"paste", true, false, Qt::Key_V, Qt::ControlModifier, "7", 0},
        {"digit without editor", false, false, Qt::Key_7, {}, "3", 1},
        {"backspace without editor", false, false, Qt::Key_Backspace, {}, "3", 1},
        {"delete without editor", false, false, Qt::Key_Delete, {}, "3", 0},
        {"paste without editor", false, false, Qt::Key_V, Qt::ControlModifier, "3", 0},
        {"up when read-only", true, true, Qt::Key_Up, {}, "3", 1},
    };
    for (const Row& row : rows) {
        Build();
        m_spin->SetEditorEnabled(row.editorEnabled);
        m_spin->SetReadOnly(row.readOnly);
        EnterField();  // selects the 3, which the key replaces
        const int beepsBefore = BeepCount();
        QTest::keyClick(m_spin, row.key, row.modifiers);
        EXPECT_EQ(Text(*m_spin), row.text) << row.what;
        EXPECT_EQ(BeepCount() - beepsBefore, row.beeps) << row.what;
        EXPECT_EQ(m_seen.size(), row.text == "3" ? 0U : 1U) << row.what;
    }
    Build();
    LeaveField();
    m_spin->SetAutoSelect(false);
    EnterField();
    EXPECT_TRUE(m_spin->selectedText().isEmpty());
    QTest::sendKeyEvent(QTest::KeyAction::Click, m_spin, Qt::Key_unknown, QStringLiteral("ä"), {});
    EXPECT_EQ(Text(*m_spin), "3");
    QLocale::setDefault(QLocale::c());
}

TEST_F(SpinEditTest, ArrowsSitAtTheRightEdgeAndTheTextStaysClearOfThem)
{
    Build();
    TSpinButton* arrows = m_spin->SpinButton();
    // Counts the pixels between the edit rectangle and the right edge that
    // differ from the ground, with a long number that runs under the arrows
    // unless it is kept out.
    const auto textUnderArrows = [this] {
        m_spin->setText(QStringLiteral("88888888888888888888"));
        m_spin->end(false);
        QImage image(m_spin->size(), QImage::Format_RGB32);
        m_spin->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        const QRect edit = m_spin->EditRect();
        const QRgb ground = image.pixel(edit.right() + 1, edit.center().y());
        int foreign = 0;
        for (int x = edit.right() + 1; x < m_spin->SpinButton()->geometry().right(); ++x) {
            for (int y = edit.top() + 2; y < edit.bottom() - 2; ++y) foreign += image.pixel(x, y) != ground ? 1 : 0;
        }
        return foreign;
    };
    EXPECT_EQ(arrows->geometry(), QRect(70 - 15 - 2, 2, 15, 24 - 4));
    EXPECT_EQ(arrows->UpButton()->geometry(), QRect(0, 0, 15, 10));
    EXPECT_EQ(arrows->DownButton()->geometry(), QRect(0, 9, 15, 11));
    EXPECT_EQ(textUnderArrows(), 0);

    m_spin->SetFrame(false);
    EXPECT_EQ(arrows->geometry(), QRect(70 - 15, 1, 15, 24 - 1));
    EXPECT_EQ(textUnderArrows(), 0);

    m_spin->resize(70, 5);
    EXPECT_EQ(m_spin->height(), m_spin->MinimumFieldHeight());
}

}  // namespace
}  // namespace quorvane
