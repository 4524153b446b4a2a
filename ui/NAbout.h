#pragma once

#include "framework/Events.h"
#include "framework/Forms.h"
#include "ui/WebStart.h"

class QLabel;
class QObject;

namespace quorvane {

class TBevel;
class TBitBtn;
class TLabel;
class TPanel;
class TSpeedButton;
class TTimer;

// The about box: product name, program icon, slogan, and either the
// copyright notice or the maker's contact links. It serves as the start-up
// splash (it shows itself 100 ms after its creation and hides itself 3.5 s
// later) and as the modal about box on F1. It is created once and only ever
// hidden between its showings.
//
// Its state lies in the two timers and the two speed buttons alone:
//   waiting  OpenTimer on,  CloseTimer off, hidden (after creation only)
//   splash   OpenTimer off, CloseTimer on,  visible, not modal
//   hidden   OpenTimer off, CloseTimer off, hidden
//   modal    OpenTimer off, CloseTimer off, visible, modal
// F1 while waiting shows it modally with OpenTimer still on; that timer's
// tick then arms CloseTimer, which ends the modal state as OK would.
class TNormalAboutBox : public TForm {
    Q_OBJECT

public:
    explicit TNormalAboutBox(QWidget* parent = nullptr);
    ~TNormalAboutBox() override;

    TPanel* Panel1 = nullptr;
    TTimer* OpenTimer = nullptr;
    TPanel* Panel2 = nullptr;
    TLabel* ProductName = nullptr;
    // The framework has no picture control of its own; a label showing a
    // pixmap, sized to it, is all the box needs.
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    TBevel* Bevel1 = nullptr;
    TBevel* Bevel2 = nullptr;
    TPanel* ZelPanel = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TTimer* CloseTimer = nullptr;
    TLabel* Description2 = nullptr;
    TLabel* Description4 = nullptr;
    TPanel* Panel4 = nullptr;
    TSpeedButton* SBtnZel = nullptr;
    TSpeedButton* SBtnMail = nullptr;
    TBitBtn* BitBtnOK = nullptr;
    TPanel* ContactPanel = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label4 = nullptr;
    TPanel* CopyrightPanel = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TWebStart WebStart1;

    void FormCreate(QObject* sender);
    void FormShow(QObject* sender);
    void FormClose(QObject* sender, TCloseAction& action);
    void OpenTimerTimer(QObject* sender);
    void CloseTimerTimer(QObject* sender);
    void FormKeyUp(QObject* sender, int& key, Qt::KeyboardModifiers shift);
    void SBtnZelClick(QObject* sender);
    void BitBtnOKClick(QObject* sender);
    void Label4Click(QObject* sender);
    void Label5Click(QObject* sender);

private:
    void UpdatePanels();
};

// The program's one about box, set when the start-up creates it.
extern TNormalAboutBox* NormalAboutBox;

}  // namespace quorvane
