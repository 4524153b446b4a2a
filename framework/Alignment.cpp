#include "framework/Alignment.h"

#include <QEvent>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <algorithm>
#include <array>
#include <vector>

namespace quorvane {

namespace {

// The aligned children of one parent, in the order they got their alignment.
// It lives as a child object of the parent and watches the parent's size and
// the children's size and visibility.
class TAlignedControls : public QObject {
    Q_OBJECT

public:
    explicit TAlignedControls(QWidget* parent) : QObject(parent), m_parent(parent) { parent->installEventFilter(this); }

    static TAlignedControls* Of(const QWidget* parent)
    {
        return parent != nullptr ? parent->findChild<TAlignedControls*>(QString(), Qt::FindDirectChildrenOnly)
                                 : nullptr;
    }

    static TAlignedControls& For(QWidget* parent)
    {
        TAlignedControls* controls = Of(parent);
        return controls != nullptr ? *controls : *new TAlignedControls(parent);
    }

    void Set(QWidget* control, TAlign align)
    {
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [control](const Entry& entry) { return entry.control == control; });
        if (it == m_entries.end()) {
            if (align == alNone) return;
            m_entries.push_back({control, align});
            control->installEventFilter(this);
        } else {
            it->align = align;
        }
    }

    TAlign Get(const QWidget* control) const
    {
        for (const Entry& entry : m_entries) {
            if (entry.control == control && control->parentWidget() == m_parent) return entry.align;
        }
        return alNone;
    }

    void Apply()
    {
        if (m_aligning) return;
        m_aligning = true;
        const QRect area = m_parent->contentsRect();
        int left = area.x();
        int top = area.y();
        int right = area.x() + area.width();
        int bottom = area.y() + area.height();
        std::vector<QWidget*> placed;
        for (const TAlign kind : std::array{alTop, alBottom, alLeft, alRight, alClient}) {
            for (const Entry& entry : m_entries) {
                QWidget* control = entry.control;
                if (entry.align != kind || control == nullptr || control->parentWidget() != m_parent ||
                    control->isHidden()) {
                    continue;
                }
                const int width = std::max(0, right - left);
                const int height = std::max(0, bottom - top);
                switch (kind) {
                case alTop:
                    control->setGeometry(left, top, width, control->height());
                    top += control->height();
                    break;
                case alBottom:
                    control->setGeometry(left, bottom - control->height(), width, control->height());
                    bottom -= control->height();
                    break;
                case alLeft:
                    control->setGeometry(left, top, control->width(), height);
                    left += control->width();
                    break;
                case alRight:
                    control->setGeometry(right - control->width(), top, control->width(), height);
                    right -= control->width();
                    break;
                case alClient: control->setGeometry(left, top, width, height); break;
                case alNone: break;
                }
                placed.push_back(control);
            }
        }
        m_aligning = false;
        // A hidden child gets no resize event until it is shown, yet its own
        // children must already stand where the new size puts them.
        for (QWidget* control : placed) AlignControls(control);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        (void)watched;
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
        case QEvent::ParentChange: Apply(); break;
        default: break;
        }
        return false;
    }

private:
    struct Entry {
        QPointer<QWidget> control;
        TAlign align;
    };

    QWidget* m_parent;
    std::vector<Entry> m_entries;
    bool m_aligning = false;
};

}  // namespace

void SetAlign(QWidget* control, TAlign align)
{
    QWidget* parent = control->parentWidget();
    if (parent == nullptr) return;
    TAlignedControls& controls = TAlignedControls::For(parent);
    controls.Set(control, align);
    controls.Apply();
}

TAlign Align(const QWidget* control)
{
    const TAlignedControls* controls = TAlignedControls::Of(control->parentWidget());
    return controls != nullptr ? controls->Get(control) : alNone;
}

void AlignControls(QWidget* parent)
{
    if (TAlignedControls* controls = TAlignedControls::Of(parent)) controls->Apply();
}

}  // namespace quorvane

#include "Alignment.moc"
