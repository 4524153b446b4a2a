#include "ui/NAbout.h"

#include "app/Application.h"
#include "framework/Controls.h"
#include "framework/Bitmaps.h"
#include "framework/Buttons.h"
#include "framework/Dialogs.h"
#include "framework/Fonts.h"
#include "framework/Labels.h"
#include "framework/Panels.h"
#include "framework/Timers.h"
#include "ui/ScreenReaderNames.h"

#include <QColor>
#include <QCursor>
#include <QLabel>
#include <QPalette>
#include <QPixmap>

namespace quorvane {

TNormalAboutBox* NormalAboutBox = nullptr;

namespace {

// Every text the about box shows.
constexpr const char* kProductNameDesignCaption = "ProductName";
constexpr const char* kSloganFirstLine = "W i e d e r   e i n   P r o g r a m m";
constexpr const char* kSloganSecondLine = "a u s   g u t e m   H a u s e";
constexpr const char* kHomePage = "https://www.quorvane.example.org";
constexpr const char* kEMailAddress = "info@quorvane.example.org";
constexpr const char* kCopyrightLine = "© 2026 Quorvane";
constexpr const char* kRightsLine = "Alle Rechte vorbehalten.";
constexpr const char* kHomePageHint = "Homepage öffnen";
constexpr const char* kEMailHint = "eMail senden";
constexpr const char* kCopyrightSign = "©";
constexpr const char* kCopyrightHint = "Copyright";
constexpr const char* kContactHint = "Kontaktaufnahme";
constexpr const char* kOkCaption = "OK";
constexpr const char* kBrowserFailed = "Ihr Browser kann nicht gestartet werden.";
constexpr const char* kMailClientFailed = "Ihr Mail-Client kann nicht gestartet werden.";

// The pictures of the program's resources.
constexpr const char* kMainIcon = "MainIcon";
constexpr const char* kLogo = "ABOUTLOGO";
constexpr const char* kMailGlyph = "MAILGLYPH";
constexpr const char* kCheckGlyph = "OKCHECK";

constexpr int kClientWidth = 336;
constexpr int kClientHeight = 236;
constexpr int kOpenDelay = 100;
constexpr int kSplashDuration = 3500;
constexpr int kAboutHelpContext = 999;
constexpr int kRadioGroup = 1;

// The standard named colours the box is drawn in.
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kTeal(0x00, 0x80, 0x80);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kPurple(0x80, 0x00, 0x80);

TPanel* FlatPanel(QWidget* parent, const char* name)
{
    auto* panel = CreateControl<TPanel>(parent, name);
    panel->SetBevelOuter(bvNone);
    return panel;
}

// A panel whose edge reads as a frame pressed into its parent.
TPanel* FramedPanel(QWidget* parent, const char* name)
{
    auto* panel = CreateControl<TPanel>(parent, name);
    panel->SetBevelOuter(bvLowered);
    panel->SetBevelInner(bvRaised);
    return panel;
}

TBevel* Rule(QWidget* parent, const char* name)
{
    auto* bevel = CreateControl<TBevel>(parent, name);
    bevel->SetShape(bsBox);
    bevel->SetStyle(bsLowered);
    return bevel;
}

// A line of text of fixed size, centred in its bounds.
TLabel* FixedLabel(QWidget* parent, const char* name, const char* caption)
{
    auto* label = CreateControl<TLabel>(parent, name);
    label->SetAutoSize(false);
    label->SetAlignment(taCenter);
    label->SetCaption(caption);
    return label;
}

TLabel* SloganLine(QWidget* parent, const char* name, const char* caption)
{
    TLabel* label = FixedLabel(parent, name, caption);
    label->SetFontColor(kTeal);
    label->SetColor(parent->palette().color(QPalette::Button));
    label->SetWordWrap(true);
    return label;
}

// A link looks like one and shows by its cursor that clicking starts a program.
TLabel* LinkLabel(QWidget* parent, const char* name, const char* caption, const char* hint)
{
    TLabel* label = FixedLabel(parent, name, caption);
    label->SetFontColor(kBlue);
    label->setCursor(Qt::BusyCursor);
    label->SetHint(hint);
    return label;
}

void SetPicture(QLabel* image, const QPixmap& picture)
{
    image->setPixmap(picture);
    image->resize(picture.size());
}

}  // namespace

TNormalAboutBox::TNormalAboutBox(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("NormalAboutBox"));
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    SetShowHint(true);
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);

    // The outer panel reaches 2 pixels past every edge, so that only its
    // bevels frame the borderless window.
    Panel1 = CreateControl<TPanel>(this, "Panel1");
    Panel1->SetBevelOuter(bvRaised);
    Panel1->SetBevelInner(bvLowered);
    Panel1->SetBevelWidth(5);
    Panel1->SetBorderStyle(bsSingle);
    SetControlBounds(Panel1, -2, -2, 340, 240);

    OpenTimer = new TTimer(this);
    OpenTimer->setObjectName(QStringLiteral("OpenTimer"));
    OpenTimer->SetInterval(kOpenDelay);
    OpenTimer->OnTimer = {this, &TNormalAboutBox::OpenTimerTimer};

    Panel2 = FramedPanel(Panel1, "Panel2");
    SetControlBounds(Panel2, 10, 8, 318, 183);

    ProductName = CreateControl<TLabel>(Panel2, "ProductName");
    ProductName->setFont(MakeFont("Arial", 16, fsBold));
    ProductName->SetFontColor(kNavy);
    ProductName->SetAlignment(taCenter);
    ProductName->SetTransparent(true);
    SetControlBounds(ProductName, 106, 17, 105, 19);
    ProductName->SetCaption(kProductNameDesignCaption);

    Image1 = CreateControl<QLabel>(Panel2, "Image1");
    SetControlBounds(Image1, 10, 10, 32, 32);
    Image2 = CreateControl<QLabel>(Panel2, "Image2");
    SetControlBounds(Image2, 276, 10, 32, 32);

    Bevel1 = Rule(Panel2, "Bevel1");
    SetControlBounds(Bevel1, 0, 108, 318, 2);
    Bevel2 = Rule(Panel2, "Bevel2");
    SetControlBounds(Bevel2, 0, 48, 318, 2);

    // The logo is a picture, not a button: its panel passes no clicks on.
    ZelPanel = FlatPanel(Panel2, "ZelPanel");
    ZelPanel->SetEnabled(false);
    SetControlBounds(ZelPanel, 11, 113, 81, 66);
    SpeedButton1 = CreateControl<TSpeedButton>(ZelPanel, "SpeedButton1");
    // The logo keeps its teal ground: drawn opaque, not cut out.
    SpeedButton1->SetGlyph(LoadBitmapOpaque(kLogo));
    SetControlBounds(SpeedButton1, -2, -2, 85, 70);

    CloseTimer = new TTimer(this);
    CloseTimer->setObjectName(QStringLiteral("CloseTimer"));
    CloseTimer->SetInterval(kSplashDuration);
    CloseTimer->SetEnabled(false);
    CloseTimer->OnTimer = {this, &TNormalAboutBox::CloseTimerTimer};

    Description2 = SloganLine(Panel2, "Description2", kSloganFirstLine);
    SetControlBounds(Description2, 5, 63, 308, 16);
    Description4 = SloganLine(Panel2, "Description4", kSloganSecondLine);
    SetControlBounds(Description4, 5, 80, 308, 16);

    Panel4 = FramedPanel(Panel1, "Panel4");
    SetControlBounds(Panel4, 10, 189, 318, 39);

    SBtnZel = CreateControl<TSpeedButton>(Panel4, "SBtnZel");
    SBtnZel->SetGroupIndex(kRadioGroup);
    SBtnZel->SetCaption(kCopyrightSign);
    SBtnZel->setFont(MakeFont("Arial", 24, fsBold));
    QPalette signColours = SBtnZel->palette();
    signColours.setColor(QPalette::ButtonText, kPurple);
    SBtnZel->setPalette(signColours);
    SBtnZel->SetHint(kCopyrightHint);
    SBtnZel->OnClick = {this, &TNormalAboutBox::SBtnZelClick};
    SetControlBounds(SBtnZel, 10, 5, 34, 30);

    SBtnMail = CreateControl<TSpeedButton>(Panel4, "SBtnMail");
    SBtnMail->SetGroupIndex(kRadioGroup);
    SBtnMail->SetGlyph(LoadBitmap(kMailGlyph), 2);
    SBtnMail->SetHint(kContactHint);
    SBtnMail->OnClick = {this, &TNormalAboutBox::SBtnZelClick};
    SetControlBounds(SBtnMail, 44, 5, 34, 30);
    SBtnZel->SetDown(true);

    BitBtnOK = CreateControl<TBitBtn>(Panel4, "BitBtnOK");
    BitBtnOK->SetCaption(kOkCaption);
    BitBtnOK->SetGlyph(LoadBitmap(kCheckGlyph), 2);
    BitBtnOK->SetDefault(true);
    BitBtnOK->SetCancel(true);
    BitBtnOK->SetModalResult(mrOk);
    BitBtnOK->OnClick = {this, &TNormalAboutBox::BitBtnOKClick};
    SetControlBounds(BitBtnOK, 208, 8, 100, 25);

    ContactPanel = FlatPanel(Panel2, "ContactPanel");
    SetControlBounds(ContactPanel, 92, 111, 224, 69);
    Label5 = LinkLabel(ContactPanel, "Label5", kEMailAddress, kEMailHint);
    Label5->OnClick = {this, &TNormalAboutBox::Label5Click};
    SetControlBounds(Label5, 12, 40, 200, 16);
    Label4 = LinkLabel(ContactPanel, "Label4", kHomePage, kHomePageHint);
    Label4->OnClick = {this, &TNormalAboutBox::Label4Click};
    SetControlBounds(Label4, 12, 15, 200, 16);

    // Both views lie on the same place; only one is visible at a time.
    CopyrightPanel = FlatPanel(Panel2, "CopyrightPanel");
    SetControlBounds(CopyrightPanel, 92, 110, 224, 71);
    Label1 = FixedLabel(CopyrightPanel, "Label1", kCopyrightLine);
    Label1->setFont(MakeFont("Arial", 13, fsBold));
    SetControlBounds(Label1, 12, 16, 200, 16);
    Label2 = FixedLabel(CopyrightPanel, "Label2", kRightsLine);
    SetControlBounds(Label2, 12, 40, 200, 16);
    UpdatePanels();

    WebStart1.SetBrowserState(gwMaximized);
    NameForScreenReaders(*this);

    OnCreate = {this, &TNormalAboutBox::FormCreate};
    OnShow = {this, &TNormalAboutBox::FormShow};
    OnClose = {this, &TNormalAboutBox::FormClose};
    OnKeyUp = {this, &TNormalAboutBox::FormKeyUp};
}

TNormalAboutBox::~TNormalAboutBox()
{
    if (NormalAboutBox == this) NormalAboutBox = nullptr;
}

void TNormalAboutBox::FormCreate(QObject*)
{
    SetPicture(Image1, LoadBitmap(kMainIcon));
    SetPicture(Image2, Image1->pixmap());
}

// Splash or modal box, every showing starts alike: the current title,
// centred, and the copyright view with OK ready for Enter.
void TNormalAboutBox::FormShow(QObject*)
{
    const std::string& title = Application().Title();
    SetCaption(title);
    ProductName->SetCaption(title);
    // A title wider than the panel gets a negative Left and is clipped on both sides.
    const int left = (Panel2->width() - ProductName->width()) / 2;
    ProductName->move(ClientOrigin(Panel2).x() + left, ProductName->y());
    SBtnZel->SetDown(true);
    SBtnZel->Click();
}

void TNormalAboutBox::FormClose(QObject*, TCloseAction&)
{
    // Whatever closed the box, the splash must not close it again later.
    CloseTimer->SetEnabled(false);
}

void TNormalAboutBox::OpenTimerTimer(QObject*)
{
    CloseTimer->SetEnabled(true);
    OpenTimer->SetEnabled(false);
    // Already shown modally (F1 came first), the box stays as it is and only
    // takes over the splash's end.
    Show();
}

void TNormalAboutBox::CloseTimerTimer(QObject*) { Close(); }

void TNormalAboutBox::FormKeyUp(QObject*, int& key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_F1) Application().HelpContext(kAboutHelpContext);
}

void TNormalAboutBox::SBtnZelClick(QObject*)
{
    UpdatePanels();
    if (CanFocus(BitBtnOK)) BitBtnOK->setFocus();
}

void TNormalAboutBox::BitBtnOKClick(QObject*) { Close(); }

void TNormalAboutBox::Label4Click(QObject*)
{
    // The box stays on top, so whatever the shell asks while it starts the
    // browser must appear in front of the box, not behind it.
    WebStart1.SetOwnerWindow(static_cast<platform::WindowHandle>(winId()));
    WebStart1.SetUrl(Label4->Caption());
    if (!WebStart1.OpenUrl()) MessageDlg(kBrowserFailed, mtWarning);
}

void TNormalAboutBox::Label5Click(QObject*)
{
    WebStart1.SetOwnerWindow(static_cast<platform::WindowHandle>(winId()));
    WebStart1.SetEMail(Label5->Caption());
    WebStart1.SetEMailSubject(Application().Title());
    if (!WebStart1.SendEMail()) MessageDlg(kMailClientFailed, mtWarning);
}

void TNormalAboutBox::UpdatePanels()
{
    ZelPanel->setVisible(SBtnZel->Down() || SBtnMail->Down());
    CopyrightPanel->setVisible(SBtnZel->Down());
    ContactPanel->setVisible(SBtnMail->Down());
}

}  // namespace quorvane
