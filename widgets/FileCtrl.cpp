#include "widgets/FileCtrl.h"

#include "framework/Bitmaps.h"
#include "framework/NarrowText.h"
#include "platform/FileSystem.h"
#include "platform/TextCase.h"
#include "platform/Volumes.h"
#include "runtime/AsciiCase.h"
#include "runtime/FolderPath.h"
#include "runtime/ScopedValue.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

namespace quorvane {

namespace {


bool SameDriveLetter(char a, char b) { return AsciiUpper(a) == AsciiUpper(b); }

// Paints the folder list's items through the list, which knows their kinds.
class TDirItemDelegate final : public QStyledItemDelegate {
public:
    explicit TDirItemDelegate(TDirectoryListBox& list) : QStyledItemDelegate(&list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_list.DrawItem(*painter, index.row(), option.rect, (option.state & QStyle::State_Selected) != 0);
        // The item with the keyboard focus gets a dotted frame in the text
        // colour, as the platform's list boxes draw it, once the keyboard has
        // been used in the window: the arrow keys visibly act on this list.
        const QStyle::State focus = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        if ((option.state & focus) == focus) {
            const bool selected = (option.state & QStyle::State_Selected) != 0;
            painter->save();
            QPen dotted(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
            dotted.setStyle(Qt::DotLine);
            painter->setPen(dotted);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return {option.rect.width(), m_list.ItemHeight()};
    }

private:
    TDirectoryListBox& m_list;
};

// The visible subfolders of `folderPath`, in the order the file system
// gives them.
std::vector<std::string> SubfolderNames(const std::string& folderPath)
{
    std::vector<std::string> names;
    const std::string pattern = WithTrailingBackslash(folderPath) + "*.*";
    if (auto search = platform::HostFileSystem().FindFirstReporting(
            pattern, platform::faDirectory | platform::faHidden | platform::faSysFile | platform::faVolumeId)) {
        platform::FindEntry entry;
        while (search->Next(entry)) {
            if ((entry.Attributes & (platform::faHidden | platform::faSysFile | platform::faVolumeId)) != 0) continue;
            if ((entry.Attributes & platform::faDirectory) == 0 || entry.Name == "." || entry.Name == "..") continue;
            names.push_back(std::move(entry.Name));
        }
    }
    return names;
}

// The names sorted as the list shows them, on a volume that does not tell
// names apart by case each folder once.
std::vector<std::string> InListOrder(std::vector<std::string> names, bool caseSensitive)
{
    const platform::TextCase& textCase = platform::HostTextCase();
    // Names equal but for case sit side by side in a fixed order, so the
    // list does not change from one rebuild to the next.
    const auto inListOrder = [&](const std::string& a, const std::string& b) {
        if (const int ignoringCase = textCase.CompareIgnoreCase(a, b); ignoringCase != 0) return ignoringCase < 0;
        if (const int withCase = textCase.Compare(a, b); withCase != 0) return withCase < 0;
        return a < b;
    };
    std::sort(names.begin(), names.end(), inListOrder);
    // A volume that tells names apart by case holds "Apfel" and "apfel" as
    // two folders, each to be opened; on one that does not, the same folder
    // is listed once.
    if (!caseSensitive) {
        names.erase(std::unique(names.begin(), names.end(),
                                [&](const std::string& a, const std::string& b) {
                                    return textCase.CompareIgnoreCase(a, b) == 0;
                                }),
                    names.end());
    }
    return names;
}

std::string CurrentDirectoryWithVolumes()
{
    // Asking for the drives first lets a system that gives mounted volumes
    // their letters only when it looks at them do so, so that a folder on a
    // stick reads as a folder of its own drive from the start.
    platform::HostVolumes().LogicalDrives();
    return platform::HostFileSystem().GetCurrentDirectory();
}

}  // namespace

int DirItemIndent(int index, TDirItemKind kind, std::string_view folderPath)
{
    if (kind != dkSubFolder) return 4 * index + 2;
    const auto levels = std::count(folderPath.begin(), folderPath.end(), '\\');
    return 4 * static_cast<int>(levels) + 6;
}

TDirectoryListBox::TDirectoryListBox(QWidget* parent)
    : QListWidget(parent),
      m_folderPath(CurrentDirectoryWithVolumes()),
      m_openImage(LoadBitmap("OPENFOLDER")),
      m_closedImage(LoadBitmap("CLOSEDFOLDER")),
      m_currentImage(LoadBitmap("CURRENTFOLDER"))
{
    setItemDelegate(new TDirItemDelegate(*this));
    setUniformItemSizes(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    resize(kDefaultWidth, 97);
    ComputeItemHeight();
}

char TDirectoryListBox::DriveLetter() const { return m_folderPath.empty() ? '\0' : m_folderPath[0]; }

const QPixmap& TDirectoryListBox::ItemImage(int index) const
{
    switch (ItemKind(index)) {
    case dkOpenFolder: return m_openImage;
    case dkCurrentFolder: return m_currentImage;
    case dkSubFolder: break;
    }
    return m_closedImage;
}

std::string TDirectoryListBox::DisplayText(int index) const
{
    std::string text = ItemText(index);
    if (!m_preservesCase && !m_caseSensitive) platform::HostTextCase().LowerCase(text);
    return text;
}

bool TDirectoryListBox::SameFolderName(std::string_view a, std::string_view b) const
{
    const platform::TextCase& textCase = platform::HostTextCase();
    return (m_caseSensitive ? textCase.Compare(a, b) : textCase.CompareIgnoreCase(a, b)) == 0;
}

void TDirectoryListBox::SetFolderPath(std::string_view request)
{
    if (request.empty() || SameFolderName(request, m_folderPath)) return;
    GoTo(SplitTarget(request));
}

void TDirectoryListBox::GoTo(const TSplitTarget& target)
{
    if (!SameDriveLetter(target.Drive, DriveLetter())) {
        TScopedValue driveSwitch(m_inDriveSwitch, true);
        if (TDriveComboBox* drives = DriveCombo()) drives->SetDriveLetter(target.Drive);
        // A drive list that already stood on that drive (after a drive it
        // could not enter) moves nothing; the folder must not end up on the
        // old drive for that.
        if (!SameDriveLetter(target.Drive, DriveLetter())) ChangeToDrive(target.Drive);
    }
    platform::FileSystem& fileSystem = platform::HostFileSystem();
    static_cast<void>(fileSystem.SetCurrentDirectory(m_folderPath));
    EnterFolder(fileSystem, target.Folder);
    m_folderPath = fileSystem.GetCurrentDirectory();
    RebuildItems();
    OnChange(this);
}

void TDirectoryListBox::ChangeToDrive(char letter)
{
    if (SameDriveLetter(letter, DriveLetter())) return;
    platform::FileSystem& fileSystem = platform::HostFileSystem();
    EnterFolder(fileSystem, std::string{letter, ':'});
    m_folderPath = fileSystem.GetCurrentDirectory();
    if (!m_inDriveSwitch) {
        RebuildItems();
        OnChange(this);
    }
}

// The list shows the path of the current folder from its drive's root down,
// then the current folder's subfolders in the order of the user's locale.
void TDirectoryListBox::RebuildItems()
{
    setUpdatesEnabled(false);
    clear();
    m_items.clear();
    ReadVolumeCase();
    AddPathItems();
    m_currentFolderIndex = ItemCount() - 1;
    for (std::string& name : InListOrder(SubfolderNames(m_folderPath), m_caseSensitive)) {
        m_items.push_back({std::move(name), dkSubFolder});
    }
    ShowItems();
}

void TDirectoryListBox::ReadVolumeCase()
{
    platform::VolumeInformation volume;
    if (platform::HostVolumes().GetVolumeInformation(std::string{DriveLetter(), ':', '\\'}, volume)) {
        m_caseSensitive = (volume.FileSystemFlags & platform::kCaseSensitiveSearch) != 0;
        m_preservesCase = m_caseSensitive || (volume.FileSystemFlags & platform::kCasePreservedNames) != 0;
    } else {
        // Unknown flags: show the names as stored and tell folders apart by
        // case, which at worst enters the same folder once more.
        m_caseSensitive = true;
        m_preservesCase = true;
    }
}

void TDirectoryListBox::AddPathItems()
{
    if (EndsWithBackslash(m_folderPath)) {
        m_items.push_back({m_folderPath, dkCurrentFolder});
        return;
    }
    std::size_t start = 0;
    std::size_t separator = m_folderPath.find('\\');
    m_items.push_back({m_folderPath.substr(0, separator) + "\\", dkOpenFolder});
    while (separator != std::string::npos) {
        start = separator + 1;
        separator = m_folderPath.find('\\', start);
        m_items.push_back({m_folderPath.substr(start, separator - start), dkOpenFolder});
    }
    m_items.back().Kind = dkCurrentFolder;
}

void TDirectoryListBox::ShowItems()
{
    for (int index = 0; index < ItemCount(); ++index) addItem(ToQString(DisplayText(index)));
    setUpdatesEnabled(true);
    if (m_handleAllocated) setCurrentRow(m_currentFolderIndex);
}

std::string TDirectoryListBox::ItemPath(int index) const
{
    if (index < 0 || index >= ItemCount()) return {};
    if (index == 0) return std::string{DriveLetter(), ':', '\\'};
    switch (ItemKind(index)) {
    case dkSubFolder:
        return WithTrailingBackslash(m_folderPath) + ItemText(index);
    case dkCurrentFolder:
        return m_folderPath;
    case dkOpenFolder:
        break;
    }
    std::size_t end = 0;
    for (int backslash = 0; backslash <= index && end != std::string::npos; ++backslash) {
        end = m_folderPath.find('\\', backslash == 0 ? 0 : end + 1);
    }
    return m_folderPath.substr(0, end);
}

// An item stands for exactly one folder, whatever its name holds, so its
// path is entered as it stands and never read by the rules for typed
// requests; a folder that has gone in the meantime gives the I/O error.
void TDirectoryListBox::OpenSelected()
{
    if (currentRow() < 0) return;
    const std::string path = ItemPath(currentRow());
    if (SameFolderName(path, m_folderPath)) return;
    GoTo(FolderTarget(path));
}

void TDirectoryListBox::SetItemHeight(int height)
{
    if (height <= 0 || height == m_itemHeight) return;
    m_itemHeight = height;
    // The view asks the delegate again only when told that sizes changed.
    doItemsLayout();
}

void TDirectoryListBox::ComputeItemHeight()
{
    SetItemHeight(std::max(QFontMetrics(font()).height(), m_openImage.height() + 1));
}

void TDirectoryListBox::HandleNeeded()
{
    if (m_handleAllocated) return;
    m_handleAllocated = true;
    RebuildItems();
}

void TDirectoryListBox::DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) const
{
    if (index < 0 || index >= ItemCount()) return;
    const QPalette& colours = palette();
    painter.fillRect(rect, colours.brush(selected ? QPalette::Highlight : QPalette::Base));
    const int x = rect.left() + DirItemIndent(index, ItemKind(index), m_folderPath);
    const QPixmap& image = ItemImage(index);
    painter.drawPixmap(x, rect.top() + (m_itemHeight - image.height()) / 2, image);
    const int textLeft = x + (image.isNull() ? 16 : image.width()) + 4;
    painter.setPen(colours.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter.setFont(font());
    painter.drawText(QRect(textLeft, rect.top(), std::max(0, rect.right() - textLeft + 1), rect.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, ToQString(DisplayText(index)));
}

void TDirectoryListBox::showEvent(QShowEvent* event)
{
    QListWidget::showEvent(event);
    HandleNeeded();
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* event)
{
    QListWidget::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        OpenSelected();
    }
}

void TDirectoryListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) OpenSelected();
}

void TDirectoryListBox::changeEvent(QEvent* event)
{
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) ComputeItemHeight();
}

}  // namespace quorvane
