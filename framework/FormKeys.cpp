#include "framework/Forms.h"

#include "framework/Buttons.h"
#include "framework/Controls.h"
#include "runtime/ScopedValue.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QWindow>

#include <algorithm>

// How keys travel through a window: the window's preview of every key, the
// keys meant for the window itself, and Enter and Escape, which click the
// default and the cancel button. The filter that sees the keys first also
// holds back the tool tips of windows that show no hints.

namespace quorvane {

// Watches what the application delivers for the forms: keys reaching a
// form's window before they go on to its focused control, and tool tips of
// forms that show no hints. One filter on the application serves all forms,
// so a window that the window system re-creates keeps its preview.
class TFormEventFilter : public QObject {
public:
    static void Install()
    {
        static QPointer<TFormEventFilter> filter;
        if (filter == nullptr && qApp != nullptr) {
            filter = new TFormEventFilter(qApp);
            qApp->installEventFilter(filter);
        }
    }

    // A key a preview handler changed travels on as this event and must not
    // be previewed again.
    static inline const QEvent* s_passedOn = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (event != s_passedOn && watched->isWindowType()) {
                TForm* form = TForm::OfWindow(watched);
                if (form != nullptr && form->KeyPreview()) return form->PreviewKey(static_cast<QKeyEvent*>(event));
            }
            return false;
        case QEvent::ToolTip:
            if (watched->isWidgetType()) {
                const TForm* form = ParentForm(static_cast<QWidget*>(watched));
                if (form != nullptr && !form->ShowHint()) {
                    event->accept();
                    return true;
                }
            }
            return false;
        default: return false;
        }
    }

private:
    using QObject::QObject;
};

void TForm::WatchApplicationEvents() { TFormEventFilter::Install(); }

bool TForm::FireKeyEvent(QKeyEvent* event, int& key)
{
    const int original = key;
    if (event->type() == QEvent::KeyPress) {
        OnKeyDown(this, key, event->modifiers());
    } else {
        OnKeyUp(this, key, event->modifiers());
    }
    return key != original;
}

bool TForm::PreviewKey(QKeyEvent* event)
{
    int key = event->key();
    if (!FireKeyEvent(event, key)) return false;
    if (key != 0) {
        QKeyEvent changed(event->type(), key, event->modifiers(), QString(), event->isAutoRepeat(), event->count());
        TScopedValue<const QEvent*> passedOn(TFormEventFilter::s_passedOn, &changed);
        QCoreApplication::sendEvent(windowHandle(), &changed);
    }
    event->accept();
    return true;
}

// Enter clicks the focused button, else the default button; Escape clicks
// the cancel button. Controls that use these keys themselves accept them and
// they never get here.
bool TForm::HandleDialogKey(int key)
{
    QPushButton* target = nullptr;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        target = qobject_cast<QPushButton*>(focusWidget());
        if (target == nullptr) {
            const QList<TBitBtn*> buttons = findChildren<TBitBtn*>();
            auto it = std::find_if(buttons.begin(), buttons.end(),
                                   [](const TBitBtn* button) { return button->Default() && CanFocus(button); });
            if (it != buttons.end()) target = *it;
        }
    } else if (key == Qt::Key_Escape) {
        const QList<TBitBtn*> buttons = findChildren<TBitBtn*>();
        auto it = std::find_if(buttons.begin(), buttons.end(),
                               [](const TBitBtn* button) { return button->Cancel() && CanFocus(button); });
        if (it != buttons.end()) target = *it;
    }
    if (target == nullptr || !target->isEnabled()) return false;
    target->click();
    return true;
}

void TForm::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    // Without the preview the window hears only the keys meant for itself.
    if (!m_keyPreview && (focusWidget() == nullptr || focusWidget() == this)) FireKeyEvent(event, key);
    if (key == 0 || HandleDialogKey(key)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm::keyReleaseEvent(QKeyEvent* event)
{
    int key = event->key();
    if (!m_keyPreview && (focusWidget() == nullptr || focusWidget() == this)) FireKeyEvent(event, key);
    if (key == 0) {
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

}  // namespace quorvane
