#include "framework/Buttons.h"

#include "framework/Forms.h"
#include "framework/NarrowText.h"

#include <QButtonGroup>
#include <QIcon>
#include <QPixmap>
#include <QVariant>

#include <algorithm>

namespace quorvane {

namespace {

constexpr const char* kGroupIndexProperty = "quorvaneGroupIndex";

// One exclusive group per parent and group index, owned by the parent.
QButtonGroup* GroupOf(QWidget* parent, int index)
{
    for (QButtonGroup* group : parent->findChildren<QButtonGroup*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (group->property(kGroupIndexProperty).toInt() == index) return group;
    }
    auto* group = new QButtonGroup(parent);
    group->setExclusive(true);
    group->setProperty(kGroupIndexProperty, index);
    return group;
}

QSize SingleGlyphSize(const QPixmap& glyph, int numGlyphs)
{
    return {glyph.width() / std::max(1, numGlyphs), glyph.height()};
}

}  // namespace

QIcon GlyphIcon(const QPixmap& glyph, int numGlyphs)
{
    QIcon icon;
    if (glyph.isNull()) return icon;
    const QSize size = SingleGlyphSize(glyph, numGlyphs);
    icon.addPixmap(glyph.copy(QRect(QPoint(0, 0), size)), QIcon::Normal);
    if (numGlyphs >= 2) icon.addPixmap(glyph.copy(QRect(QPoint(size.width(), 0), size)), QIcon::Disabled);
    return icon;
}

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { OnClick(this); });
}

std::string TSpeedButton::Caption() const { return FromQString(text()); }

void TSpeedButton::SetCaption(std::string_view caption)
{
    setText(ToQString(caption));
    UpdateButtonStyle();
}

void TSpeedButton::SetGlyph(const QPixmap& glyph, int numGlyphs)
{
    setIcon(GlyphIcon(glyph, numGlyphs));
    setIconSize(SingleGlyphSize(glyph, numGlyphs));
    UpdateButtonStyle();
}

void TSpeedButton::SetHint(std::string_view hint) { setToolTip(ToQString(hint)); }

void TSpeedButton::UpdateButtonStyle()
{
    if (icon().isNull()) {
        setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
        setToolButtonStyle(text().isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    }
}

void TSpeedButton::SetGroupIndex(int index)
{
    if (m_group != nullptr) m_group->removeButton(this);
    m_group = nullptr;
    m_groupIndex = index;
    setCheckable(index != 0);
    if (index != 0 && parentWidget() != nullptr) {
        m_group = GroupOf(parentWidget(), index);
        m_group->addButton(this);
    }
}

bool TSpeedButton::Down() const { return m_groupIndex != 0 && isChecked(); }

void TSpeedButton::SetDown(bool down)
{
    if (m_groupIndex != 0) setChecked(down);
}

void TSpeedButton::Click() { OnClick(this); }

TBitBtn::TBitBtn(QWidget* parent) : QPushButton(parent)
{
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_modalResult != mrNone) {
            if (TForm* form = ParentForm(this)) form->SetModalResult(m_modalResult);
        }
        OnClick(this);
    });
}

std::string TBitBtn::Caption() const { return FromQString(text()); }

void TBitBtn::SetCaption(std::string_view caption) { setText(ToQString(caption)); }

void TBitBtn::SetGlyph(const QPixmap& glyph, int numGlyphs)
{
    setIcon(GlyphIcon(glyph, numGlyphs));
    setIconSize(SingleGlyphSize(glyph, numGlyphs));
}

void TBitBtn::SetHint(std::string_view hint) { setToolTip(ToQString(hint)); }

void TBitBtn::SetDefault(bool isDefault)
{
    m_default = isDefault;
    // Qt draws the default button's frame; it answers Enter itself when it
    // has the focus, and through its window otherwise.
    setDefault(isDefault);
}

}  // namespace quorvane
