#pragma once

#include "framework/Forms.h"

#include <QObject>

#include <memory>
#include <string>

class QAction;
class QMenu;
class QPoint;

namespace quorvane {

class TButton;
class TIniFile;
class TCheckBox;
class TDirectoryListBox;
class TDriveComboBox;
class TEdit;
class TLabel;
class TPanel;
class TSpinEdit;
class TStringGrid;
class UndoStack;

// The program's one main window: the folder on the left, the settings of the
// renaming above, the result table below them. The controls are members named
// as the window description names them, in its order, and carry those names
// as object names.
class TFormMain : public TForm {
    Q_OBJECT

public:
    TFormMain();
    ~TFormMain() override;

    TPanel* Panel1;
    TDriveComboBox* DriveComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    TEdit* Edit1;
    TLabel* Label1;
    TPanel* Panel5;
    TPanel* Panel2;
    TStringGrid* StringGrid2;
    TCheckBox* CheckBox1;
    TCheckBox* CheckBox2;
    TButton* Button1;
    TButton* Button2;
    TPanel* Panel3;
    TPanel* Panel4;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TSpinEdit* SpinEdit1;
    TEdit* Edit2;
    TEdit* Edit3;
    TStringGrid* StringGrid1;
    TCheckBox* CheckBox3;
    TCheckBox* CheckBox4;
    TCheckBox* CheckBox5;
    TLabel* Label5;
    TEdit* Edit4;
    // The result grid's context menu, with its one item that undoes the
    // newest execute run not yet undone.
    QMenu* PopupMenu1;
    QAction* UndoLastRun;

    void FormCreate(QObject* sender);
    void SpinEdit1Change();
    void FormResize(QObject* sender);
    void Button1Click(QObject* sender);
    void Button2Click(QObject* sender);
    void FormKeyDown(QObject* sender, int& key, Qt::KeyboardModifiers shift);
    void CheckBox1Click(QObject* sender);
    void FormClose(QObject* sender, TCloseAction& action);
    void StringGrid2ContextPopup(const QPoint& position);
    void UndoLastRunClick();

private:
    void CreateControls();
    void RestoreBounds();
    void RestoreFolder();
    void StoreBounds();
    void ArrangeTabOrder();
    void StartBatch(bool execute);
    void CreateResultGridMenu();

    // The settings file, from FormCreate until FormClose has written it.
    std::unique_ptr<TIniFile> IniFile;
    // Where the settings file lies, decided once in FormCreate: beside the
    // executable or in the user's own settings folder.
    std::string m_settingsFileName;
    // The execute runs of the session that can still be taken back.
    std::unique_ptr<UndoStack> m_undoStack;
};

// The main window once the application has created it.
extern TFormMain* FormMain;

}  // namespace quorvane
