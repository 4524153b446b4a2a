#include "ui/Main.h"

#include "app/Application.h"
#include "framework/Alignment.h"
#include "framework/Fonts.h"
#include "framework/Labels.h"
#include "framework/Panels.h"
#include "framework/StdCtrls.h"
#include "tests/support/MessageBoxRecorder.h"
#include "widgets/FileCtrl.h"
#include "widgets/Grids.h"
#include "widgets/Spin.h"

#include <QApplication>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane {
namespace {

// The main window as the application creates it, at its designed client size
// so that the designed positions can be compared.
class MainLayoutTest : public ::testing::Test {
protected:
    MainLayoutTest()
    {
        Application().SetTitle("Quorvane V1.24");
        Application().CreateForm(FormMain);
        FormMain->SetClientWidth(680);
        FormMain->SetClientHeight(485);
    }
    ~MainLayoutTest() override { Application().ReleaseForms(); }

    template <class Control>
    Control* Find(const char* name) const
    {
        auto* control = FormMain->findChild<Control*>(QString::fromUtf8(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    void ShowActive()
    {
        FormMain->Show();
        QApplication::setActiveWindow(FormMain);
    }
};

std::string CaptionOf(QWidget* control)
{
    if (auto* label = qobject_cast<TLabel*>(control)) return label->Caption();
    if (auto* edit = qobject_cast<TEdit*>(control)) return edit->Text();
    if (auto* checkBox = qobject_cast<TCheckBox*>(control)) return checkBox->Caption();
    if (auto* button = qobject_cast<TButton*>(control)) return button->Caption();
    return {};
}

TEST_F(MainLayoutTest, EveryControlSitsWhereTheWindowDescriptionPutsIt)
{
    struct Expected {
        const char* name;
        const char* kind;
        const char* parent;
        TAlign align;
        QRect bounds;
        const char* caption;
    };
    const std::vector<Expected> table = {
        { "Panel1", "quorvane::TPanel", "FormMain", alTop, { 0, 0, 680, 31 }, "" },
        { "Label1", "quorvane::TLabel", "Panel1", alNone, { 200, 8, 0, 0 }, "Dateifilter" },
        { "DriveComboBox1", "quorvane::TDriveComboBox", "Panel1", alNone, { 0, 5, 190, 22 }, "" },
        { "Edit1", "quorvane::TEdit", "Panel1", alNone, { 265, 4, 120, 24 }, "*.mp3" },
        { "DirectoryListBox1", "quorvane::TDirectoryListBox", "FormMain", alLeft, { 0, 31, 190, 454 }, "" },
        { "Panel5", "quorvane::TPanel", "FormMain", alClient, { 190, 31, 490, 454 }, "" },
        { "Panel2", "quorvane::TPanel", "Panel5", alTop, { 0, 0, 490, 210 }, "" },
        { "CheckBox1", "quorvane::TCheckBox", "Panel2", alNone, { 5, 0, 185, 17 }, "Strukturänderung" },
        { "Panel3", "quorvane::TPanel", "Panel2", alNone, { 15, 20, 470, 120 }, "" },
        { "Panel4", "quorvane::TPanel", "Panel3", alLeft, { 2, 2, 205, 116 }, "" },
        { "Label2", "quorvane::TLabel", "Panel4", alNone, { 10, 13, 0, 0 }, "Anzahl Abschnitte" },
        { "Label3", "quorvane::TLabel", "Panel4", alNone, { 10, 38, 0, 0 }, "Trennsequenz alt" },
        { "Label4", "quorvane::TLabel", "Panel4", alNone, { 10, 63, 0, 0 }, "Trennsequenz neu" },
        { "Label5", "quorvane::TLabel", "Panel4", alNone, { 10, 88, 0, 0 }, "Führender Text" },
        { "SpinEdit1", "quorvane::TSpinEdit", "Panel4", alNone, { 125, 9, 70, 24 }, "" },
        { "Edit2", "quorvane::TEdit", "Panel4", alNone, { 125, 34, 70, 24 }, " - " },
        { "Edit3", "quorvane::TEdit", "Panel4", alNone, { 125, 59, 70, 24 }, " - " },
        { "Edit4", "quorvane::TEdit", "Panel4", alNone, { 125, 84, 70, 24 }, "" },
        { "StringGrid1", "quorvane::TStringGrid", "Panel3", alClient, { 207, 2, 261, 116 }, "" },
        { "CheckBox2", "quorvane::TCheckBox", "Panel2", alNone, { 5, 143, 235, 17 }, "Leerzeichenausgleich" },
        { "CheckBox4", "quorvane::TCheckBox", "Panel2", alNone, { 5, 163, 235, 17 },
            "Unterstrichbehandlung einschalten" },
        { "CheckBox3", "quorvane::TCheckBox", "Panel2", alNone, { 5, 183, 235, 17 }, "Ersten Buchstaben Groß" },
        { "CheckBox5", "quorvane::TCheckBox", "Panel2", alNone, { 250, 143, 235, 17 },
            "Überzählige Abschnitte ignorieren" },
        { "Button1", "quorvane::TButton", "Panel2", alNone, { 300, 179, 90, 25 }, "Testen" },
        { "Button2", "quorvane::TButton", "Panel2", alNone, { 395, 179, 90, 25 }, "Ausführen" },
        { "StringGrid2", "quorvane::TStringGrid", "Panel5", alClient, { 0, 210, 490, 244 }, "" },
    };
    for (const Expected& expected : table) {
        SCOPED_TRACE(expected.name);
        auto* control = Find<QWidget>(expected.name);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->metaObject()->className(), expected.kind);
        EXPECT_EQ(control->parentWidget()->objectName().toStdString(), expected.parent);
        EXPECT_EQ(Align(control), expected.align);
        EXPECT_EQ(control->pos(), expected.bounds.topLeft());
        // Labels size themselves to their text; the rest keep their designed size.
        if (expected.bounds.width() > 0) {
            EXPECT_EQ(control->size(), expected.bounds.size());
        }
        EXPECT_EQ(CaptionOf(control), expected.caption);
        EXPECT_EQ(control->font(), WindowFont());
    }
    EXPECT_EQ(Find<TPanel>("Panel1")->BevelOuter(), bvNone);
    EXPECT_EQ(Find<TPanel>("Panel3")->BevelOuter(), bvRaised);
    EXPECT_EQ(Find<TPanel>("Panel3")->BevelInner(), bvLowered);
    EXPECT_EQ(Find<TDirectoryListBox>("DirectoryListBox1")->ItemHeight(), 16);
    EXPECT_TRUE(FormMain->KeyPreview());
    EXPECT_EQ(FormMain->objectName(), "FormMain");
}

TEST_F(MainLayoutTest, StartsWithTheDefaultSettingsAndGridTexts)
{
    for (const char* name : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5"}) {
        EXPECT_TRUE(Find<TCheckBox>(name)->Checked()) << name;
    }
    EXPECT_EQ(FormMain->Caption(), "Quorvane V1.24");
    EXPECT_EQ(Find<TEdit>("Edit1")->Text(), "*.mp3");
    EXPECT_EQ(Find<TEdit>("Edit2")->Text(), " - ");
    EXPECT_EQ(Find<TEdit>("Edit3")->Text(), " - ");
    EXPECT_EQ(Find<TEdit>("Edit4")->Text(), "");

    EXPECT_EQ(Find<TSpinEdit>("SpinEdit1")->Value(), 3);

    auto* structure = Find<TStringGrid>("StringGrid1");
    EXPECT_EQ(structure->RowCount(), 4);
    const std::vector<std::vector<std::string>> structureCells = {
        {"alter Abschnitt", "neuer Abschnitt"}, {"1", "1"}, {"2", "3"}, {"3", "2"}};
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 2; ++col) EXPECT_EQ(structure->Cells(col, row), structureCells[row][col]);
    }

    auto* result = Find<TStringGrid>("StringGrid2");
    EXPECT_EQ(result->RowCount(), 2);
    const std::vector<std::string> header = {"Ergebnis", "alt", "neu"};
    for (int col = 0; col < 3; ++col) {
        EXPECT_EQ(result->Cells(col, 0), header[col]);
        EXPECT_EQ(result->Cells(col, 1), "");
    }
}

TEST_F(MainLayoutTest, TabVisitsTheControlsInTheDesignedOrder)
{
    ShowActive();
    const std::vector<std::string> order
        = { "DriveComboBox1", "Edit1", "DirectoryListBox1", "CheckBox1", "SpinEdit1", "Edit2", "Edit3", "Edit4",
              "StringGrid1", "CheckBox2", "CheckBox4", "CheckBox3", "CheckBox5", "Button1", "Button2", "StringGrid2" };
    Find<QWidget>(order.front().c_str())->setFocus(Qt::TabFocusReason);
    std::vector<std::string> visited;
    for (std::size_t step = 0; step < order.size(); ++step) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        visited.push_back(focused->objectName().toStdString());
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, order);
}

// Growing the window grows only the result grid; its two name columns share
// the gain, while the structure grid keeps its designed size and columns.
TEST_F(MainLayoutTest, ColumnWidthsFollowTheGridWidths)
{
    ShowActive();
    auto* structure = Find<TStringGrid>("StringGrid1");
    auto* result = Find<TStringGrid>("StringGrid2");
    EXPECT_EQ(structure->width(), 261);
    EXPECT_EQ(structure->ColWidths(0), 118);
    EXPECT_EQ(structure->ColWidths(1), 118);
    EXPECT_EQ(result->width(), 490);
    EXPECT_EQ(result->ColWidths(0), 80);
    EXPECT_EQ(result->ColWidths(1), 192);
    EXPECT_EQ(result->ColWidths(2), 193);

    FormMain->SetClientWidth(780);
    FormMain->SetClientHeight(585);
    EXPECT_EQ(result->size(), QSize(590, 344));
    EXPECT_EQ(structure->size(), QSize(261, 116));
    EXPECT_EQ(structure->ColWidths(0), 118);
    EXPECT_EQ(structure->ColWidths(1), 118);
    EXPECT_EQ(result->ColWidths(0), 80);
    EXPECT_EQ(result->ColWidths(1), 242);
    EXPECT_EQ(result->ColWidths(2), 243);

    // A dragged status column is left as the user made it.
    result->SetColWidths(0, 100);
    FormMain->SetClientWidth(680);
    EXPECT_EQ(result->ColWidths(0), 100);
    EXPECT_EQ(result->ColWidths(1), 182);
    EXPECT_EQ(result->ColWidths(2), 183);
}

TEST_F(MainLayoutTest, StructureChangeShowsAndHidesTheStructurePanel)
{
    ShowActive();
    auto* checkBox = Find<TCheckBox>("CheckBox1");
    auto* panel = Find<TPanel>("Panel3");
    EXPECT_TRUE(panel->isVisible());
    QTest::mouseClick(checkBox, Qt::LeftButton, {}, QPoint(5, checkBox->height() / 2));
    EXPECT_FALSE(checkBox->Checked());
    EXPECT_FALSE(panel->isVisible());
    QTest::keyClick(checkBox, Qt::Key_Space);
    EXPECT_TRUE(checkBox->Checked());
    EXPECT_TRUE(panel->isVisible());
}

}  // namespace
}  // namespace quorvane
