#include "ui/Main.h"

#include "app/Application.h"
#include "app/IniFiles.h"
#include "engine/BatchRun.h"
#include "engine/NameRestructuring.h"
#include "engine/UndoRecord.h"
#include "framework/Alignment.h"
#include "framework/Controls.h"
#include "framework/Labels.h"
#include "framework/Panels.h"
#include "framework/Screen.h"
#include "framework/StdCtrls.h"
#include "platform/FileSystem.h"
#include "platform/Module.h"
#include "runtime/Conversions.h"
#include "runtime/Exceptions.h"
#include "ui/MainTexts.h"
#include "ui/NAbout.h"
#include "ui/ResultGrid.h"
#include "ui/ScreenReaderNames.h"
#include "ui/StartBounds.h"
#include "widgets/FileCtrl.h"
#include "widgets/Grids.h"
#include "widgets/Spin.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>

namespace quorvane {

TFormMain* FormMain = nullptr;

namespace {

using namespace maintexts;

// A state the program did not write (a hand-edited file) opens the window
// normally.
TWindowState StoredWindowState(std::int32_t value)
{
    switch (value) {
    case wsMinimized: return wsMinimized;
    case wsMaximized: return wsMaximized;
    default: return wsNormal;
    }
}

// The outer size of the window as it was laid out; smaller, its controls
// are cut off.
constexpr QSize kDesignedOuterSize(688, 512);

// Both grids keep this many pixels of their width free of columns: room for
// their border and the vertical scroll bar.
constexpr int kGridAllowance = 25;

// What the window shows after start-up: the settings a run takes by default.
const RenameSettings kStartValues;

// A settings file edited by hand on Linux may name the folder as a Unix
// path; the program itself writes its own form, which passes unchanged. A
// path that has no name in the program's drives cannot be restored.
std::string StoredFolder(const std::string& text)
{
    std::optional<std::string> folder = platform::HostFileSystem().FromSystemPath(text);
    if (!folder) throw EInOutError(platform::kErrorPathNotFound);
    return std::move(*folder);
}

TLabel* CreateLabel(QWidget* parent, const char* name, const char* caption, int left, int top, int width, int height)
{
    auto* label = CreateControl<TLabel>(parent, name);
    // The label sizes itself to its caption, whatever the font makes of it,
    // so the stored size goes first.
    SetControlBounds(label, left, top, width, height);
    label->SetCaption(caption);
    return label;
}

TEdit* CreateEdit(QWidget* parent, const char* name, const char* text, int left, int top, int width, int height)
{
    auto* edit = CreateControl<TEdit>(parent, name);
    edit->SetText(text);
    SetControlBounds(edit, left, top, width, height);
    return edit;
}

TCheckBox* CreateCheckBox(QWidget* parent, const char* name, const char* caption, bool checked, int left, int top,
                          int width, int height)
{
    auto* checkBox = CreateControl<TCheckBox>(parent, name);
    checkBox->SetCaption(caption);
    checkBox->SetChecked(checked);
    SetControlBounds(checkBox, left, top, width, height);
    return checkBox;
}

TPanel* CreateFlatPanel(QWidget* parent, const char* name)
{
    auto* panel = CreateControl<TPanel>(parent, name);
    panel->SetBevelOuter(bvNone);
    return panel;
}

// Input that reaches the program while a run keeps it busy. The user cannot
// see that the window does not react, so a second click on "Ausführen" would
// start the whole run again once the first has ended; such input is dropped.
class TInputDiscarder final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
        }
    }
};

// Shows the busy cursor over the program's windows while a run works; it
// does not return to the event loop meanwhile, so clicks and keys wait in
// the window system's queue. A run that ends normally fetches them and
// throws them away before anything else can see them.
class TBusyRun {
public:
    TBusyRun() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyRun() { QApplication::restoreOverrideCursor(); }

    TBusyRun(const TBusyRun&) = delete;
    TBusyRun& operator=(const TBusyRun&) = delete;

    void DiscardInput()
    {
        TInputDiscarder discarder;
        QApplication::instance()->installEventFilter(&discarder);
        // One round trip to the window system brings in every event it sent
        // before, and they are delivered (and dropped) on the way.
        QGuiApplication::sync();
        QApplication::instance()->removeEventFilter(&discarder);
    }
};

// The folder of a module path, its last backslash or colon kept.
std::string ExecutableFolder(const std::string& modulePath)
{
    const std::size_t end = modulePath.find_last_of("\\:");
    return end == std::string::npos ? std::string() : modulePath.substr(0, end + 1);
}

}  // namespace

TFormMain::TFormMain()
{
    setObjectName(QStringLiteral("FormMain"));
    SetCaption("FormMain");
    SetBounds(213, 165, kDesignedOuterSize.width(), kDesignedOuterSize.height());
    SetClientWidth(680);
    SetClientHeight(485);
    SetKeyPreview(true);
    CreateControls();
    ArrangeTabOrder();
    CreateResultGridMenu();
    NameForScreenReaders(*this);

    OnCreate = {this, &TFormMain::FormCreate};
    OnClose = {this, &TFormMain::FormClose};
    OnResize = {this, &TFormMain::FormResize};
    OnKeyDown = {this, &TFormMain::FormKeyDown};
}

TFormMain::~TFormMain()
{
    if (FormMain == this) FormMain = nullptr;
}

void TFormMain::CreateControls()
{
    Panel1 = CreateFlatPanel(this, "Panel1");
    SetControlBounds(Panel1, 0, 0, 680, 31);
    SetAlign(Panel1, alTop);
    Label1 = CreateLabel(Panel1, "Label1", kFileMaskLabel, 200, 8, 54, 16);
    DriveComboBox1 = CreateControl<TDriveComboBox>(Panel1, "DriveComboBox1");
    SetControlBounds(DriveComboBox1, 0, 5, 190, 22);
    Edit1 = CreateEdit(Panel1, "Edit1", kStartValues.FileMask.c_str(), 265, 4, 120, 24);

    DirectoryListBox1 = CreateControl<TDirectoryListBox>(this, "DirectoryListBox1");
    SetControlBounds(DirectoryListBox1, 0, 31, 190, 454);
    SetAlign(DirectoryListBox1, alLeft);
    DirectoryListBox1->SetItemHeight(16);
    DriveComboBox1->SetDirList(DirectoryListBox1);

    Panel5 = CreateFlatPanel(this, "Panel5");
    SetControlBounds(Panel5, 190, 31, 490, 454);
    SetAlign(Panel5, alClient);

    Panel2 = CreateFlatPanel(Panel5, "Panel2");
    SetControlBounds(Panel2, 0, 0, 490, 210);
    SetAlign(Panel2, alTop);
    CheckBox1 = CreateCheckBox(Panel2, "CheckBox1", kStructureChange, kStartValues.StructureChange, 5, 0, 185, 17);
    CheckBox1->OnClick = {this, &TFormMain::CheckBox1Click};

    Panel3 = CreateControl<TPanel>(Panel2, "Panel3");
    Panel3->SetBevelInner(bvLowered);
    Panel3->SetBevelOuter(bvRaised);
    SetControlBounds(Panel3, 15, 20, 470, 120);

    Panel4 = CreateFlatPanel(Panel3, "Panel4");
    SetControlBounds(Panel4, 2, 2, 205, 116);
    SetAlign(Panel4, alLeft);
    Label2 = CreateLabel(Panel4, "Label2", kSectionCountLabel, 10, 13, 106, 16);
    Label3 = CreateLabel(Panel4, "Label3", kOldSeparatorLabel, 10, 38, 99, 16);
    Label4 = CreateLabel(Panel4, "Label4", kNewSeparatorLabel, 10, 63, 106, 16);
    Label5 = CreateLabel(Panel4, "Label5", kLeadingTextLabel, 10, 88, 87, 16);
    SpinEdit1 = new TSpinEdit(Panel4, TSpinEditDescription{.limit = slBoth,
                                                           .maxValue = kMaxSectionCount,
                                                           .minValue = kMinSectionCount,
                                                           .value = kStartValues.SectionCount,
                                                           .onChange = [this] { SpinEdit1Change(); }});
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SetControlBounds(SpinEdit1, 125, 9, 70, 24);
    Edit2 = CreateEdit(Panel4, "Edit2", kStartValues.OldSeparator.c_str(), 125, 34, 70, 24);
    Edit3 = CreateEdit(Panel4, "Edit3", kStartValues.NewSeparator.c_str(), 125, 59, 70, 24);
    Edit4 = CreateEdit(Panel4, "Edit4", kStartValues.LeadingText.c_str(), 125, 84, 70, 24);

    StringGrid1 = CreateControl<TStringGrid>(Panel3, "StringGrid1");
    SetControlBounds(StringGrid1, 207, 2, 261, 116);
    SetAlign(StringGrid1, alClient);
    StringGrid1->SetColCount(2);
    StringGrid1->SetRowCount(kStartValues.SectionCount + 1);
    StringGrid1->SetFixedCols(1);
    StringGrid1->SetFixedRows(1);
    StringGrid1->SetDefaultColWidth(90);
    StringGrid1->SetDefaultRowHeight(20);
    for (int row = 0; row <= kStartValues.SectionCount; ++row) StringGrid1->SetRowHeights(row, 20);
    StringGrid1->SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing, goEditing});

    CheckBox2 = CreateCheckBox(Panel2, "CheckBox2", kEqualiseSpaces, kStartValues.EqualiseSpaces, 5, 143, 235, 17);
    CheckBox4 = CreateCheckBox(Panel2, "CheckBox4", kUnderscoreHandling, kStartValues.UnderscoreHandling, 5, 163, 235,
                               17);
    CheckBox3 = CreateCheckBox(Panel2, "CheckBox3", kCapitaliseWords, kStartValues.CapitaliseWords, 5, 183, 235, 17);
    CheckBox5 = CreateCheckBox(Panel2, "CheckBox5", kIgnoreExcessSections, kStartValues.IgnoreExcessSections, 250, 143,
                               235, 17);

    Button1 = CreateControl<TButton>(Panel2, "Button1");
    Button1->SetCaption(kTestButton);
    Button1->OnClick = {this, &TFormMain::Button1Click};
    SetControlBounds(Button1, 300, 179, 90, 25);
    Button2 = CreateControl<TButton>(Panel2, "Button2");
    Button2->SetCaption(kExecuteButton);
    Button2->OnClick = {this, &TFormMain::Button2Click};
    SetControlBounds(Button2, 395, 179, 90, 25);

    StringGrid2 = CreateControl<TStringGrid>(Panel5, "StringGrid2");
    SetControlBounds(StringGrid2, 0, 210, 490, 244);
    SetAlign(StringGrid2, alClient);
    StringGrid2->SetColCount(3);
    StringGrid2->SetRowCount(2);
    StringGrid2->SetFixedCols(1);
    StringGrid2->SetFixedRows(1);
    StringGrid2->SetDefaultColWidth(80);
    StringGrid2->SetDefaultRowHeight(20);
    StringGrid2->SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goColSizing});
}

void TFormMain::ArrangeTabOrder()
{
    QWidget* const order[] = {DriveComboBox1, Edit1,     DirectoryListBox1, CheckBox1, SpinEdit1, Edit2,
                              Edit3,          Edit4,     StringGrid1,       CheckBox2, CheckBox4, CheckBox3,
                              CheckBox5,      Button1,   Button2,           StringGrid2};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TFormMain::FormCreate(QObject*)
{
    SetCaption(Application().Title());
    m_settingsFileName = SettingsFileFor(platform::ModuleFileName());
    IniFile = std::make_unique<TIniFile>(m_settingsFileName);
    RestoreBounds();
    RestoreFolder();

    StringGrid1->SetCells(0, 0, kOldSectionHeader);
    StringGrid1->SetCells(1, 0, kNewSectionHeader);
    for (int row = 1; row <= kStartValues.SectionCount; ++row) {
        StringGrid1->SetCells(0, row, IntToStr(row));
        StringGrid1->SetCells(1, row, kStartValues.MapCells[static_cast<std::size_t>(row - 1)]);
    }

    StringGrid2->SetCells(0, 0, kResultHeader);
    StringGrid2->SetCells(1, 0, kOldNameHeader);
    StringGrid2->SetCells(2, 0, kNewNameHeader);
}

// Each value takes effect before the next is read, so the window's own
// limits apply to each in turn.
void TFormMain::RestoreBounds()
{
    const QRect defaults = DefaultStartBounds(PrimaryWorkArea(), {ScreenWidth(), ScreenHeight()}, kDesignedOuterSize);
    SetTop(IniFile->ReadInteger(kSettingsSection, kTopKey, defaults.top()));
    SetLeft(IniFile->ReadInteger(kSettingsSection, kLeftKey, defaults.left()));
    SetHeight(IniFile->ReadInteger(kSettingsSection, kHeightKey, defaults.height()));
    SetWidth(IniFile->ReadInteger(kSettingsSection, kWidthKey, defaults.width()));
    // A damaged or hand-edited file must not give a window nobody can see
    // or grab; the next close would store it again.
    EnsureReachable();
    SetWindowState(StoredWindowState(IniFile->ReadInteger(kSettingsSection, kStateKey, wsNormal)));
}

// A stored folder that cannot be entered any more (deleted, on a drive that
// is gone) is no reason to bother the user: the list opens on the program's
// own folder instead. Only when that fails too is there something to report.
void TFormMain::RestoreFolder()
{
    try {
        DirectoryListBox1->SetFolderPath(
            StoredFolder(IniFile->ReadString(kSettingsSection, kDirectoryKey, kDefaultDirectory)));
    } catch (const std::exception&) {
        DirectoryListBox1->SetFolderPath(ExecutableFolder(platform::ModuleFileName()));
    }
}

// A failed write leaves the window open with its settings file, and the
// next close begins again with the first value.
void TFormMain::FormClose(QObject*, TCloseAction&)
{
    // A window closed once already has given its settings file back; a
    // second close writes into the same file again.
    if (!IniFile) IniFile = std::make_unique<TIniFile>(m_settingsFileName);
    IniFile->WriteString(kSettingsSection, kDirectoryKey, DirectoryListBox1->FolderPath());
    IniFile->WriteInteger(kSettingsSection, kStateKey, WindowState());
    // The normal bounds are stored, so that a window closed maximised comes
    // back maximised and restores to where it was.
    SetWindowState(wsNormal);
    StoreBounds();
    IniFile.reset();
}

void TFormMain::StoreBounds()
{
    IniFile->WriteInteger(kSettingsSection, kTopKey, Top());
    IniFile->WriteInteger(kSettingsSection, kLeftKey, Left());
    IniFile->WriteInteger(kSettingsSection, kHeightKey, Height());
    IniFile->WriteInteger(kSettingsSection, kWidthKey, Width());
}

void TFormMain::SpinEdit1Change()
{
    // The value is taken as typed, unclamped: the spin box clamps it when
    // the focus leaves and then reports the change once more.
    const std::int32_t value = SpinEdit1->Value();
    // The largest value has no count one above it; it is asked for as the
    // largest count, which the grid refuses as too large like any other
    // count it cannot hold.
    const std::int64_t rows = std::int64_t{value} + 1;
    StringGrid1->SetRowCount(static_cast<int>(std::min<std::int64_t>(rows, std::numeric_limits<int>::max())));
    StringGrid1->SetCells(0, value, IntToStr(value));
}

void TFormMain::Button1Click(QObject*) { StartBatch(false); }

void TFormMain::Button2Click(QObject*) { StartBatch(true); }

// The run takes the controls as they stand now; it does not return to the
// event loop until it has ended, so they cannot change meanwhile.
void TFormMain::StartBatch(bool execute)
{
    RenameSettings settings;
    settings.Folder = DirectoryListBox1->FolderPath();
    settings.FileMask = Edit1->Text();
    settings.StructureChange = CheckBox1->Checked();
    settings.SectionCount = StringGrid1->RowCount() - 1;
    settings.MapCells.clear();
    for (int row = 1; row <= settings.SectionCount; ++row) settings.MapCells.push_back(StringGrid1->Cells(1, row));
    settings.OldSeparator = Edit2->Text();
    settings.NewSeparator = Edit3->Text();
    settings.LeadingText = Edit4->Text();
    settings.UnderscoreHandling = CheckBox4->Checked();
    settings.CapitaliseWords = CheckBox3->Checked();
    settings.EqualiseSpaces = CheckBox2->Checked();
    settings.IgnoreExcessSections = CheckBox5->Checked();

    TGridResultTable table(*StringGrid2);
    TBusyRun busy;
    try {
        if (execute) {
            // A run stopped by a map error renamed nothing and leaves no
            // record; one that renamed files goes on top of the undo stack.
            UndoRecord run;
            UndoRecordingTable recording(table, run, settings.Folder);
            RunBatch(settings, true, recording);
            m_undoStack->Push(std::move(run));
        } else {
            RunBatch(settings, false, table);
        }
        busy.DiscardInput();
    } catch (const SectionMapError& error) {
        // The user sees the cell to correct before the message about it.
        StringGrid1->SetCol(1);
        StringGrid1->SetRow(error.Row());
        throw;
    }
}

void TFormMain::CreateResultGridMenu()
{
    m_undoStack = std::make_unique<UndoStack>();
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    UndoLastRun = PopupMenu1->addAction(QString::fromUtf8(kUndoLastRun));
    UndoLastRun->setObjectName(QStringLiteral("UndoLastRun"));
    connect(UndoLastRun, &QAction::triggered, this, [this] { UndoLastRunClick(); });
    // The right mouse button and the menu key both ask for it.
    StringGrid2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(StringGrid2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { StringGrid2ContextPopup(position); });
}

void TFormMain::StringGrid2ContextPopup(const QPoint& position)
{
    UndoLastRun->setEnabled(!m_undoStack->Empty());
    PopupMenu1->popup(StringGrid2->mapToGlobal(position));
}

// The result grid shows one row per file of the newest run not yet undone.
// Files that could not get their old names back keep the run on the stack,
// so the item stays and tries them again once the obstacle is gone; only
// then does it reach the run before.
void TFormMain::UndoLastRunClick()
{
    if (m_undoStack->Empty()) return;
    TGridResultTable table(*StringGrid2);
    TBusyRun busy;
    m_undoStack->UndoNewest(table);
    busy.DiscardInput();
}

void TFormMain::FormResize(QObject*)
{
    const int structureWidth = StringGrid1->width();
    StringGrid1->SetColWidths(0, (structureWidth - kGridAllowance) / 2);
    StringGrid1->SetColWidths(1, structureWidth - StringGrid1->ColWidths(0) - kGridAllowance);

    const int resultWidth = StringGrid2->width();
    const int statusWidth = StringGrid2->ColWidths(0);
    StringGrid2->SetColWidths(1, (resultWidth - statusWidth - kGridAllowance) / 2);
    StringGrid2->SetColWidths(2, resultWidth - statusWidth - StringGrid2->ColWidths(1) - kGridAllowance);
}

// F1 anywhere in the window, with or without Shift, shows the about box.
// While it is still up as the start-up splash it cannot become modal, and
// the refusal is shown to the user; the key itself goes on unchanged.
void TFormMain::FormKeyDown(QObject*, int& key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_F1) NormalAboutBox->ShowModal();
}

void TFormMain::CheckBox1Click(QObject*) { Panel3->setVisible(CheckBox1->Checked()); }

}  // namespace quorvane
