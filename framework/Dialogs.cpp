#include "framework/Dialogs.h"

#include "framework/Messages.h"
#include "framework/NarrowText.h"
#include "framework/Screen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QVariant>
#include <QWindow>

#include <algorithm>

namespace quorvane {

namespace {

constexpr const char* kButtonIndexProperty = "quorvaneButtonIndex";

// A box stands in the middle of the screen, not over whichever window
// happens to be active, wherever the error came from.
class TCentredMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        if (!event->spontaneous()) move(ScreenCentredPosition(frameGeometry().size(), this));
    }
};

QMessageBox::Icon IconOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

const char* CaptionOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return messages::kWarningCaption;
    case mtError: return messages::kErrorCaption;
    case mtInformation: return messages::kInformationCaption;
    }
    return "";
}

// The window of the program that a box must cover: the active one, else
// the one that stays on top, else any visible one.
QWidget* WindowToCover()
{
    if (QWidget* active = QApplication::activeWindow()) return active;
    QWidget* cover = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->windowType() == Qt::ToolTip || window->windowType() == Qt::Popup) continue;
        if (window->windowFlags() & Qt::WindowStaysOnTopHint) return window;
        if (cover == nullptr) cover = window;
    }
    return cover;
}

bool AnyWindowStaysOnTop()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* window) {
        return window->isVisible() && (window->windowFlags() & Qt::WindowStaysOnTopHint);
    });
}

// The window manager draws the caption in its own font, commonly a bold
// one, between the window's icon and its buttons, and cuts it short where
// the window is narrower ("Quor… 1.24"); Qt leaves too little room for a
// frame with an icon and three buttons. So a box is made at least as wide
// as its caption in the bold default font, with room for four square
// buttons of the caption's height and the frame's margins.
void KeepCaptionWhole(QMessageBox& box)
{
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int buttonSide = metrics.height() + 8;
    int wanted = metrics.horizontalAdvance(box.windowTitle()) + 4 * buttonSide + 2 * 16;
    // A caption longer than the screen is cut anyway; the box stays on it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        wanted = std::min(wanted, screen->availableGeometry().width());
    }
    auto* buttons = box.findChild<QDialogButtonBox*>();
    if (buttons == nullptr || box.layout() == nullptr) return;
    const QMargins margins = box.layout()->contentsMargins();
    buttons->setMinimumWidth(wanted - margins.left() - margins.right());
}

class TRealMessageBoxes : public TMessageBoxSeam {
public:
    int Show(const TMessageBoxRequest& request) override
    {
        const std::unique_ptr<QMessageBox> box = BuildMessageBox(request);
        // The window manager keeps a box above the window it belongs to and
        // gives it the keyboard; the user must be able to answer it at once.
        if (QWidget* cover = WindowToCover()) {
            box->winId();
            if (cover->windowHandle() != nullptr) box->windowHandle()->setTransientParent(cover->windowHandle());
        }
        QTimer::singleShot(0, box.get(), [window = box.get()] {
            window->raise();
            window->activateWindow();
        });
        box->exec();
        const QAbstractButton* chosen = box->clickedButton();
        return chosen != nullptr ? chosen->property(kButtonIndexProperty).toInt() : -1;
    }
};

TRealMessageBoxes g_realMessageBoxes;
TMessageBoxSeam* g_replacement = nullptr;

}  // namespace

TMessageBoxSeam::~TMessageBoxSeam() = default;

std::unique_ptr<QMessageBox> BuildMessageBox(const TMessageBoxRequest& request)
{
    auto box = std::make_unique<TCentredMessageBox>(IconOf(request.type), ToQString(request.caption),
                                                    ToQString(request.text), QMessageBox::NoButton);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    // A window of the program that stays on top (the about box) would
    // otherwise hide the box that blocks all input.
    if (AnyWindowStaysOnTop()) box->setWindowFlag(Qt::WindowStaysOnTopHint);
    int index = 0;
    for (const std::string& caption : request.buttons) {
        QPushButton* button = box->addButton(ToQString(caption), QMessageBox::AcceptRole);
        button->setProperty(kButtonIndexProperty, index++);
    }
    KeepCaptionWhole(*box);
    return box;
}

// Once the box is gone, the window the user was working in takes the
// keyboard again, whichever window the box came from.
int ShowMessageBox(const TMessageBoxRequest& request)
{
    const QPointer<QWidget> previous = QApplication::activeWindow();
    TMessageBoxSeam& seam = g_replacement != nullptr ? *g_replacement : g_realMessageBoxes;
    const int answer = seam.Show(request);
    if (previous != nullptr && previous->isVisible()) previous->activateWindow();
    return answer;
}

TMessageBoxSeam* ReplaceMessageBoxSeam(TMessageBoxSeam* replacement)
{
    TMessageBoxSeam* previous = g_replacement;
    g_replacement = replacement;
    return previous;
}

void MessageDlg(std::string_view text, TMsgDlgType type)
{
    ShowMessageBox({CaptionOf(type), std::string(text), type, {messages::kOkButton}});
}

}  // namespace quorvane
