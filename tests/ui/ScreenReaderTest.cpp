#include "ui/Main.h"

#include "app/Application.h"
#include "framework/Accessibility.h"
#include "framework/Buttons.h"
#include "framework/Labels.h"
#include "framework/Panels.h"
#include "framework/StdCtrls.h"
#include "framework/Timers.h"
#include "platform/posix/DriveNameSpace.h"
#include "tests/support/FakeRegistry.h"
#include "tests/support/FakeShell.h"
#include "tests/support/HostOverride.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"
#include "ui/NAbout.h"
#include "widgets/FileCtrl.h"
#include "widgets/Grids.h"
#include "widgets/Spin.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace quorvane {
namespace {

std::string Name(QAccessibleInterface* iface) { return iface->text(QAccessible::Name).toStdString(); }

// Both windows as at start-up, the main window on a folder of its own, and
// every accessibility event the program's controls send collected in order.
class ScreenReaderTest : public ::testing::Test {
protected:
    ScreenReaderTest()
    {
        Application().SetTitle("Quorvane V1.24");
        Application().CreateForm(FormMain);
        FormMain->Show();
        QApplication::setActiveWindow(FormMain);
        FormMain->DirectoryListBox1->SetFolderPath(*platform::posix::FromUnixPath(m_folder.Path().string()));
        Application().CreateForm(NormalAboutBox);
        SetAccessibleEventListener([this](QAccessibleEvent& event) { Hear(event); });
    }
    ~ScreenReaderTest() override
    {
        SetAccessibleEventListener(nullptr);
        FormMain->DirectoryListBox1->SetFolderPath(
            *platform::posix::FromUnixPath(m_folder.Path().parent_path().string()));
        Application().ReleaseForms();
    }

    QAccessibleInterface* Interface(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

    // The table's cells as a screen reader reads them: the column headers,
    // then each row.
    std::vector<std::vector<std::string>> Table(TStringGrid* grid)
    {
        QAccessibleTableInterface* table = Interface(grid)->tableInterface();
        std::vector<std::vector<std::string>> rows(1);
        for (int col = 0; col < table->columnCount(); ++col) {
            QAccessibleInterface* cell = table->cellAt(0, col);
            const QList<QAccessibleInterface*> headers = cell->tableCellInterface()->columnHeaderCells();
            EXPECT_EQ(headers.size(), 1);
            EXPECT_EQ(headers.at(0)->role(), QAccessible::ColumnHeader);
            EXPECT_EQ(table->columnDescription(col), headers.at(0)->text(QAccessible::Name));
            rows[0].push_back(Name(headers.at(0)));
        }
        for (int row = 0; row < table->rowCount(); ++row) {
            rows.emplace_back();
            for (int col = 0; col < table->columnCount(); ++col) rows.back().push_back(Name(table->cellAt(row, col)));
        }
        return rows;
    }

    // The cell of the last focus event, as "row,column:name" in table numbering.
    std::string LastFocus() const { return m_lastFocus; }

    int Heard(QAccessible::Event type) const { return static_cast<int>(std::count(m_heard.begin(), m_heard.end(), type)); }

    void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center()); }

    testing::TempFolder m_folder;
    std::vector<QAccessible::Event> m_heard;
    std::vector<QAccessibleTableModelChangeEvent::ModelChangeType> m_tableChanges;

private:
    void Hear(QAccessibleEvent& event)
    {
        m_heard.push_back(event.type());
        if (event.type() == QAccessible::TableModelChanged) {
            m_tableChanges.push_back(static_cast<QAccessibleTableModelChangeEvent&>(event).modelChangeType());
        }
        if (event.type() == QAccessible::Focus) {
            QAccessibleInterface* cell = event.accessibleInterface();
            ASSERT_NE(cell->tableCellInterface(), nullptr);
            EXPECT_TRUE(cell->state().focused);
            EXPECT_TRUE(cell->state().selected);
            m_lastFocus = std::to_string(cell->tableCellInterface()->rowIndex()) + "," +
                          std::to_string(cell->tableCellInterface()->columnIndex()) + ":" + Name(cell);
        }
    }

    std::string m_lastFocus;
};

struct Control {
    const char* window;
    const char* object;
    QAccessible::Role role;
    std::string name;
};

TEST_F(ScreenReaderTest, EveryControlOfBothWindowsHasItsRoleAndName)
{
    NormalAboutBox->OpenTimer->Fire();  // the splash sets the caption
    const std::vector<Control> controls = {
        {"FormMain", "FormMain", QAccessible::Window, "Quorvane V1.24"},
        {"FormMain", "DriveComboBox1", QAccessible::ComboBox, "Laufwerk"},
        {"FormMain", "Label1", QAccessible::StaticText, "Dateifilter"},
        {"FormMain", "Edit1", QAccessible::EditableText, "Dateifilter"},
        {"FormMain", "DirectoryListBox1", QAccessible::List, "Verzeichnis"},
        {"FormMain", "CheckBox1", QAccessible::CheckBox, "Strukturänderung"},
        {"FormMain", "SpinEdit1", QAccessible::SpinBox, "Anzahl Abschnitte"},
        {"FormMain", "Edit2", QAccessible::EditableText, "Trennsequenz alt"},
        {"FormMain", "Edit3", QAccessible::EditableText, "Trennsequenz neu"},
        {"FormMain", "Edit4", QAccessible::EditableText, "Führender Text"},
        {"FormMain", "StringGrid1", QAccessible::Table, "Struktur"},
        {"FormMain", "CheckBox2", QAccessible::CheckBox, "Leerzeichenausgleich"},
        {"FormMain", "CheckBox4", QAccessible::CheckBox, "Unterstrichbehandlung einschalten"},
        {"FormMain", "CheckBox3", QAccessible::CheckBox, "Ersten Buchstaben Groß"},
        {"FormMain", "CheckBox5", QAccessible::CheckBox, "Überzählige Abschnitte ignorieren"},
        {"FormMain", "Button1", QAccessible::Button, "Testen"},
        {"FormMain", "Button2", QAccessible::Button, "Ausführen"},
        {"FormMain", "StringGrid2", QAccessible::Table, "Ergebnis"},
        {"NormalAboutBox", "NormalAboutBox", QAccessible::Dialog, "Quorvane V1.24"},
        {"NormalAboutBox", "ProductName", QAccessible::StaticText, "Quorvane V1.24"},
        {"NormalAboutBox", "Description2", QAccessible::StaticText, "Wieder ein Programm"},
        {"NormalAboutBox", "Description4", QAccessible::StaticText, "aus gutem Hause"},
        {"NormalAboutBox", "SpeedButton1", QAccessible::Graphic, "Quorvane"},
        {"NormalAboutBox", "Label1", QAccessible::StaticText, "© 2026 Quorvane"},
        {"NormalAboutBox", "Label4", QAccessible::Link, "https://www.quorvane.example.org"},
        {"NormalAboutBox", "Label5", QAccessible::Link, "info@quorvane.example.org"},
        {"NormalAboutBox", "SBtnZel", QAccessible::Button, "Copyright"},
        {"NormalAboutBox", "SBtnMail", QAccessible::Button, "Kontaktaufnahme"},
        {"NormalAboutBox", "BitBtnOK", QAccessible::Button, "OK"},
    };
    for (const Control& control : controls) {
        QWidget* window = std::string(control.window) == "FormMain" ? static_cast<QWidget*>(FormMain) : NormalAboutBox;
        QObject* object = window->objectName() == control.object ? window : window->findChild<QObject*>(control.object);
        ASSERT_NE(object, nullptr) << control.object;
        QAccessibleInterface* iface = Interface(object);
        EXPECT_EQ(iface->role(), control.role) << control.window << "." << control.object;
        EXPECT_EQ(Name(iface), control.name) << control.window << "." << control.object;
    }
    // The slogan keeps its spaced-out look on the screen.
    EXPECT_EQ(NormalAboutBox->Description2->Caption(), "W i e d e r   e i n   P r o g r a m m");
}

TEST_F(ScreenReaderTest, TheAboutBoxsTogglesAndLinksActAsAClickDoes)
{
    testing::FakeRegistry registry;
    testing::FakeShell shell;
    testing::ScopedHostService<platform::Registry> useRegistry(registry, platform::ReplaceHostRegistry);
    testing::ScopedHostService<platform::Shell> useShell(shell, platform::ReplaceHostShell);
    NormalAboutBox->OpenTimer->Fire();
    QAccessibleInterface* copyright = Interface(NormalAboutBox->SBtnZel);
    QAccessibleInterface* contact = Interface(NormalAboutBox->SBtnMail);
    EXPECT_TRUE(copyright->state().checkable && copyright->state().checked);
    EXPECT_TRUE(contact->state().checkable && !contact->state().checked);

    contact->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(contact->state().checked);
    EXPECT_FALSE(copyright->state().checked);
    EXPECT_TRUE(NormalAboutBox->ContactPanel->isVisible());
    EXPECT_FALSE(NormalAboutBox->CopyrightPanel->isVisible());

    // No browser is registered, so the link's action ends in the same warning as a click.
    testing::MessageBoxRecorder boxes;
    QAccessibleInterface* homePage = Interface(NormalAboutBox->Label4);
    EXPECT_EQ(homePage->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    EXPECT_TRUE(homePage->state().linked);
    homePage->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_EQ(boxes.Requests().at(0).text, "Ihr Browser kann nicht gestartet werden.");

    // A message box is an alert that carries its text.
    QMessageBox box(QMessageBox::Warning, "Warnung", "Ihr Browser kann nicht gestartet werden.");
    QAccessibleInterface* alert = Interface(&box);
    EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
    EXPECT_EQ(Name(alert), "Warnung");
    EXPECT_EQ(alert->text(QAccessible::Description).toStdString(), "Ihr Browser kann nicht gestartet werden.");
}

TEST_F(ScreenReaderTest, TheSpinBoxPublishesItsValueBoundsAndSteps)
{
    QAccessibleInterface* spin = Interface(FormMain->SpinEdit1);
    QAccessibleValueInterface* value = spin->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 3);
    EXPECT_EQ(value->minimumValue().toInt(), 2);
    EXPECT_EQ(value->maximumValue().toInt(), 10);
    spin->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(FormMain->SpinEdit1->Value(), 4);
    EXPECT_EQ(FormMain->StringGrid1->RowCount(), 5) << "the step acts as the arrow does";
    EXPECT_GE(Heard(QAccessible::ValueChanged), 1);
    spin->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    spin->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    spin->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    EXPECT_EQ(value->currentValue().toInt(), 2) << "the bounds hold for a screen reader too";
}

TEST_F(ScreenReaderTest, TheListsPublishTheirItemsWithTheCurrentOneFocusedAndSelected)
{
    m_folder.CreateFolder("Live");
    FormMain->DirectoryListBox1->SetFolderPath(*platform::posix::FromUnixPath((m_folder.Path() / "Live").string()));
    FormMain->DirectoryListBox1->setFocus();
    QAccessibleInterface* folders = Interface(FormMain->DirectoryListBox1);
    std::vector<std::string> chosen;
    for (int i = 0; i < folders->childCount(); ++i) {
        QAccessibleInterface* item = folders->child(i);
        if (item->state().selected && item->state().focused) chosen.push_back(Name(item));
    }
    EXPECT_EQ(chosen, std::vector<std::string>{"Live"});

    QAccessibleInterface* drives = Interface(FormMain->DriveComboBox1);
    EXPECT_EQ(drives->text(QAccessible::Value), FormMain->DriveComboBox1->currentText());
    ASSERT_EQ(drives->childCount(), 1);
    EXPECT_EQ(drives->child(0)->role(), QAccessible::List);
    EXPECT_EQ(drives->child(0)->childCount(), FormMain->DriveComboBox1->count());
}

TEST_F(ScreenReaderTest, BothTablesReadTheirHeadersAndCellsAfterATestRun)
{
    m_folder.CreateFile("alpha - beta - gamma.mp3");
    m_folder.CreateFile("delta - epsilon - zeta.mp3");
    Click(FormMain->Button1);

    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(Table(FormMain->StringGrid1),
              (Rows{{"alter Abschnitt", "neuer Abschnitt"}, {"1", "1"}, {"2", "3"}, {"3", "2"}}));
    EXPECT_EQ(Table(FormMain->StringGrid2), (Rows{{"Ergebnis", "alt", "neu"},
                                                  {"Ok", "alpha - beta - gamma.mp3", "Alpha - Gamma - Beta.mp3"},
                                                  {"Ok", "delta - epsilon - zeta.mp3", "Delta - Zeta - Epsilon.mp3"}}));
    // The run's new rows and cell texts were announced as they came.
    EXPECT_NE(std::find(m_tableChanges.begin(), m_tableChanges.end(), QAccessibleTableModelChangeEvent::RowsInserted),
              m_tableChanges.end());
    EXPECT_NE(std::find(m_tableChanges.begin(), m_tableChanges.end(), QAccessibleTableModelChangeEvent::DataChanged),
              m_tableChanges.end());

    // The children are the cells row by row, headers first, and find themselves again.
    QAccessibleInterface* result = Interface(FormMain->StringGrid2);
    EXPECT_EQ(result->childCount(), 9);
    EXPECT_EQ(Name(result->child(4)), "alpha - beta - gamma.mp3");
    EXPECT_EQ(result->indexOfChild(result->child(7)), 7);
    EXPECT_EQ(result->tableInterface()->cellAt(2, 0), nullptr) << "no row past the end";
}

TEST_F(ScreenReaderTest, EveryCursorMoveAnnouncesTheNewCell)
{
    m_folder.CreateFile("alpha - beta - gamma.mp3");
    m_folder.CreateFile("delta - epsilon - zeta.mp3");
    Click(FormMain->Button1);
    TStringGrid* result = FormMain->StringGrid2;
    result->setFocus();
    EXPECT_EQ(LastFocus(), "") << "the grid itself is announced first";
    QCoreApplication::processEvents();
    EXPECT_EQ(LastFocus(), "0,1:alpha - beta - gamma.mp3") << "taking the focus names the current cell";

    QTest::keyClick(result, Qt::Key_Down);
    EXPECT_EQ(LastFocus(), "1,1:delta - epsilon - zeta.mp3");
    QTest::keyClick(result, Qt::Key_Right);
    EXPECT_EQ(LastFocus(), "1,2:Delta - Zeta - Epsilon.mp3");
    QTest::mouseClick(result->viewport(), Qt::LeftButton, {}, result->CellRect(1, 1).center());
    EXPECT_EQ(LastFocus(), "0,1:alpha - beta - gamma.mp3");

    // A run that shortens the table moves the cursor into what is left.
    QTest::keyClick(result, Qt::Key_Down);
    FormMain->Edit1->setText("alpha*");
    FormMain->Button1->click();
    result->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(LastFocus(), "0,1:alpha - beta - gamma.mp3");
    EXPECT_NE(std::find(m_tableChanges.begin(), m_tableChanges.end(), QAccessibleTableModelChangeEvent::RowsRemoved),
              m_tableChanges.end());

    // The structure grid's editor says which cell it edits.
    TStringGrid* structure = FormMain->StringGrid1;
    structure->setFocus();
    structure->SetEditorMode(true);
    ASSERT_NE(structure->InplaceEditor(), nullptr);
    EXPECT_EQ(Name(Interface(structure->InplaceEditor())), "neuer Abschnitt 1");
    QTest::keyClick(structure->InplaceEditor(), Qt::Key_Down);
    EXPECT_EQ(LastFocus(), "1,1:3") << "the editor closes and the grid's cell is announced";
    structure->SetEditorMode(true);
    EXPECT_EQ(Name(Interface(structure->InplaceEditor())), "neuer Abschnitt 2");
}

// A table of a billion rows is answered in bounded lists, and its row count
// changes are announced with the rows that came or went.
TEST_F(ScreenReaderTest, AHugeTableIsAnsweredInBoundedLists)
{
    TStringGrid grid(FormMain);
    grid.SetColCount(3);
    m_tableChanges.clear();
    grid.SetRowCount(1'000'000'000);
    QAccessibleInterface* table = Interface(&grid);
    EXPECT_EQ(table->childCount(), std::numeric_limits<int>::max());
    EXPECT_EQ(table->tableInterface()->rowCount(), 999'999'999);
    QAccessibleInterface* last = table->tableInterface()->cellAt(999'999'998, 2);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(table->indexOfChild(last), -1) << "past the largest index a child can have";

    // Everything selected: the count is exact, the lists stop.
    grid.SetOptions({goRangeSelect});
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(table->tableInterface()->selectedCellCount(), 1'999'999'998);
    EXPECT_EQ(table->tableInterface()->selectedCells().size(), 65536);
    EXPECT_EQ(table->tableInterface()->selectedRows().size(), 65536);

    grid.SetRowCount(3);
    ASSERT_EQ(m_tableChanges.size(), 2u);
    EXPECT_EQ(m_tableChanges.back(), QAccessibleTableModelChangeEvent::RowsRemoved);
    EXPECT_EQ(table->tableInterface()->cellAt(999'999'998, 2), nullptr);
}

TEST_F(ScreenReaderTest, TheMenuKeyAndShiftF10OpenTheResultMenuAtTheCursorCell)
{
    m_folder.CreateFile("alpha - beta - gamma.mp3", "inhalt");
    Click(FormMain->Button2);
    TStringGrid* result = FormMain->StringGrid2;
    result->setFocus();
    const QRect cell = result->CellRect(result->Col(), result->Row());
    const QPoint expected = result->viewport()->mapToGlobal(cell.center());

    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Menu, Qt::KeyboardModifiers{}},
                                         std::pair{Qt::Key_F10, Qt::KeyboardModifiers{Qt::ShiftModifier}}}) {
        QTest::keyClick(result, key, modifiers);
        ASSERT_TRUE(FormMain->PopupMenu1->isVisible()) << key;
        EXPECT_LE((FormMain->PopupMenu1->pos() - expected).manhattanLength(), 2) << key;
        QTest::keyClick(FormMain->PopupMenu1, Qt::Key_Escape);
        EXPECT_FALSE(FormMain->PopupMenu1->isVisible());
    }
    // F10 alone is no menu key.
    QTest::keyClick(result, Qt::Key_F10);
    EXPECT_FALSE(FormMain->PopupMenu1->isVisible());

    // Arrows and Enter choose the undo.
    QTest::keyClick(result, Qt::Key_Menu);
    QTest::keyClick(FormMain->PopupMenu1, Qt::Key_Down);
    QTest::keyClick(FormMain->PopupMenu1, Qt::Key_Return);
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"alpha - beta - gamma.mp3"}));
}

}  // namespace
}  // namespace quorvane
