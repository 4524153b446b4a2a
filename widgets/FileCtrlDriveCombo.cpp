#include "widgets/FileCtrl.h"

#include "framework/Bitmaps.h"
#include "framework/NarrowText.h"
#include "platform/FileSystem.h"
#include "platform/TextCase.h"
#include "platform/Volumes.h"
#include "runtime/AsciiCase.h"
#include "runtime/Format.h"
#include "widgets/FileCtrlAccessible.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace quorvane {

namespace {


// Labels and share names take the case of the letter they are shown with.
std::string InLetterCase(std::string text, char letter)
{
    const platform::TextCase& textCase = platform::HostTextCase();
    if (static_cast<unsigned char>(letter) >= 'a') {
        textCase.LowerCase(text);
    } else {
        for (std::size_t index = 0; index < text.size(); ++index) textCase.UpperCaseCharAt(text, index);
    }
    return text;
}

// Restores the error mode it found, also when an error passes.
class TErrorModeGuard {
public:
    explicit TErrorModeGuard(std::uint32_t mode) : m_previous(platform::HostVolumes().SetErrorMode(mode)) {}
    ~TErrorModeGuard() { platform::HostVolumes().SetErrorMode(m_previous); }
    TErrorModeGuard(const TErrorModeGuard&) = delete;
    TErrorModeGuard& operator=(const TErrorModeGuard&) = delete;

private:
    std::uint32_t m_previous;
};

class TDriveEntryDelegate final : public QStyledItemDelegate {
public:
    explicit TDriveEntryDelegate(TDriveComboBox& list) : QStyledItemDelegate(&list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_list.DrawEntry(*painter, index.row(), option.rect, (option.state & QStyle::State_Selected) != 0);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return {option.rect.width(), m_list.ItemHeight()};
    }

private:
    TDriveComboBox& m_list;
};

}  // namespace

TDriveComboBox::TDriveComboBox(QWidget* parent)
    : QComboBox(parent),
      m_floppyImage(LoadBitmap("FLOPPY")),
      m_hardImage(LoadBitmap("HARD")),
      m_networkImage(LoadBitmap("NETWORK")),
      m_cdromImage(LoadBitmap("CDROM")),
      m_ramImage(LoadBitmap("RAM"))
{
    // Asking for the drives first lets a system that gives mounted volumes
    // their letters only when it looks at them do so before the current
    // folder is read.
    platform::HostVolumes().LogicalDrives();
    const std::string current = platform::HostFileSystem().GetCurrentDirectory();
    m_driveLetter = current.empty() ? 'C' : current[0];
    setEditable(false);
    setItemDelegate(new TDriveEntryDelegate(*this));
    resize(kDefaultWidth, sizeHint().height());
    ComputeItemHeight();
    // The choice takes effect once the list has finished its own handling of
    // the key or click: an error of the folder list must not pass through the
    // middle of it.
    connect(this, &QComboBox::activated, this, [this](int) { Click(); }, Qt::QueuedConnection);
    filectrlaccess::Publish(*this);
}

const QPixmap& TDriveComboBox::EntryImage(int index) const
{
    static const QPixmap none;
    const QPixmap* image = m_entries.at(static_cast<std::size_t>(index)).Image;
    return image != nullptr ? *image : none;
}

char TDriveComboBox::LetterInCase(char letter) const
{
    return m_textCase == tcUpperCase ? AsciiUpper(letter) : AsciiLower(letter);
}

std::string TDriveComboBox::VolumeLabelText(char letter) const
{
    platform::VolumeInformation volume;
    {
        // The label query must not bring up the system's prompt for a drive
        // without a medium; such a drive shows "[]".
        TErrorModeGuard quiet(platform::kFailCriticalErrors);
        if (!platform::HostVolumes().GetVolumeInformation(std::string{letter, ':', '\\'}, volume)) volume.Label.clear();
    }
    return Format("[%s]", {InLetterCase(volume.Label, letter)});
}

std::string TDriveComboBox::NetworkShareText(char letter) const
{
    std::string remoteName;
    if (platform::HostVolumes().GetConnection(std::string{letter, ':'}, remoteName) != 0) {
        return VolumeLabelText(letter);
    }
    return InLetterCase(remoteName, letter);
}

void TDriveComboBox::RebuildDrives()
{
    clear();
    m_entries.clear();
    platform::Volumes& volumes = platform::HostVolumes();
    const std::uint32_t drives = volumes.LogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((drives & (1u << i)) == 0) continue;
        const char lower = static_cast<char>('a' + i);
        const char letter = LetterInCase(lower);
        const std::string shown{letter};
        TEntry entry;
        switch (volumes.GetDriveType(std::string{lower, ':', '\\'})) {
        case platform::kDriveRemovable:
            entry = {shown + ":", &m_floppyImage};
            break;
        case platform::kDriveFixed:
            entry = {Format("%s: %s", {shown, VolumeLabelText(letter)}), &m_hardImage};
            break;
        case platform::kDriveRemote:
            entry = {Format("%s: %s", {shown, NetworkShareText(letter)}), &m_networkImage};
            break;
        case platform::kDriveCdRom:
            entry = {Format("%s: %s", {shown, VolumeLabelText(letter)}), &m_cdromImage};
            break;
        case platform::kDriveRamDisk:
            entry = {Format("%s: %s", {shown, VolumeLabelText(letter)}), &m_ramImage};
            break;
        default:
            continue;
        }
        addItem(ToQString(entry.Text));
        m_entries.push_back(std::move(entry));
    }
    // The list takes its first entry as selected; a fresh list has none
    // selected until its drive is set.
    setCurrentIndex(-1);
}

void TDriveComboBox::SetDriveLetter(char letter)
{
    if (currentIndex() >= 0 && AsciiUpper(letter) == AsciiUpper(m_driveLetter)) return;
    m_driveLetter = LetterInCase(letter);
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(), [this](const TEntry& candidate) {
        return candidate.Text.size() >= 2 && AsciiUpper(candidate.Text[0]) == AsciiUpper(m_driveLetter) &&
            candidate.Text[1] == ':';
    });
    if (entry != m_entries.end()) setCurrentIndex(static_cast<int>(entry - m_entries.begin()));
    if (TDirectoryListBox* folders = DirList()) folders->ChangeToDrive(m_driveLetter);
    OnChange(this);
}

void TDriveComboBox::SetTextCase(TTextCase textCase)
{
    const char letter = m_driveLetter;
    m_textCase = textCase;
    RebuildDrives();
    SetDriveLetter(letter);
}

void TDriveComboBox::Click()
{
    if (currentIndex() >= 0) SetDriveLetter(EntryText(currentIndex())[0]);
}

void TDriveComboBox::ComputeItemHeight()
{
    m_itemHeight = std::max(QFontMetrics(font()).height(), m_floppyImage.height());
    view()->doItemsLayout();
}

void TDriveComboBox::CreateWnd()
{
    m_handleAllocated = true;
    RebuildDrives();
    SetDriveLetter(m_driveLetter);
}

void TDriveComboBox::HandleNeeded()
{
    if (!m_handleAllocated) CreateWnd();
}

void TDriveComboBox::DrawEntry(QPainter& painter, int index, const QRect& rect, bool selected) const
{
    if (index < 0 || index >= EntryCount()) return;
    const QPalette& colours = palette();
    painter.fillRect(rect, colours.brush(selected ? QPalette::Highlight : QPalette::Base));
    const QPixmap& image = EntryImage(index);
    if (!image.isNull()) painter.drawPixmap(rect.left() + 2, rect.top() + (rect.height() - image.height()) / 2, image);
    const int textLeft = rect.left() + (image.isNull() ? 16 : image.width()) + 6;
    painter.setPen(colours.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter.setFont(font());
    // Qt draws "&" as it stands unless asked for accelerators.
    painter.drawText(QRect(textLeft, rect.top(), std::max(0, rect.right() - textLeft + 1), rect.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, ToQString(EntryText(index)));
}

void TDriveComboBox::showEvent(QShowEvent* event)
{
    QComboBox::showEvent(event);
    HandleNeeded();
}

void TDriveComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    DrawEntry(painter, currentIndex(), field, hasFocus());
}

void TDriveComboBox::changeEvent(QEvent* event)
{
    QComboBox::changeEvent(event);
    if (event->type() != QEvent::FontChange) return;
    ComputeItemHeight();
    // A new font makes a new window, and with it new entries.
    if (m_handleAllocated) CreateWnd();
}

}  // namespace quorvane
