#include "framework/Dialogs.h"

#include "framework/Messages.h"
#include "framework/NarrowText.h"
#include "framework/Screen.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVariant>

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

class TRealMessageBoxes : public TMessageBoxSeam {
public:
    int Show(const TMessageBoxRequest& request) override
    {
        const std::unique_ptr<QMessageBox> box = BuildMessageBox(request);
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
    int index = 0;
    for (const std::string& caption : request.buttons) {
        QPushButton* button = box->addButton(ToQString(caption), QMessageBox::AcceptRole);
        button->setProperty(kButtonIndexProperty, index++);
    }
    return box;
}

int ShowMessageBox(const TMessageBoxRequest& request)
{
    TMessageBoxSeam& seam = g_replacement != nullptr ? *g_replacement : g_realMessageBoxes;
    return seam.Show(request);
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
