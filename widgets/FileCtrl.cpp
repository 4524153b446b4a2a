#include "widgets/FileCtrl.h"

#include "framework/Bitmaps.h"
#include "framework/NarrowText.h"
#include "platform/FileSystem.h"
#include "platform/TextCase.h"
#include "platform/Volumes.h"
#include "runtime/Exceptions.h"

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

void RaiseOnFailure(std::uint32_t errorCode)
{
    if (errorCode != platform::kErrorSuccess) throw EInOutError(errorCode);
}

bool EndsWithBackslash(std::string_view text) { return !text.empty() && text.back() == '\\'; }

char UpperLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameDriveLetter(char a, char b) { return UpperLetter(a) == UpperLetter(b); }

// Whether the rules for requests would read a character of `request` as
// something else than part of a name: a mask character, or a colon other
// than the one after a drive letter.
bool HoldsCharactersTheRulesMisread(std::string_view request)
{
    for (std::size_t i = 0; i < request.size(); ++i) {
        if (request[i] == '*' || request[i] == '?' || (request[i] == ':' && i != 1)) return true;
    }
    return false;
}

// Enters `folder` as it stands and reads back where that led, in the
// system's own form; the current directory is left there on success.
std::uint32_t EnterAsItStands(platform::FileSystem& fileSystem, std::string_view folder, TSplitTarget& target)
{
    const std::uint32_t error = fileSystem.SetCurrentDirectory(folder);
    if (error != platform::kErrorSuccess) return error;
    const std::string reached = fileSystem.GetCurrentDirectory();
    target.Drive = reached.empty() ? '\0' : reached[0];
    target.Folder = reached.size() > 2 ? reached.substr(2) : std::string(1, '\\');
    return platform::kErrorSuccess;
}

// The steps of SplitTarget between taking the request apart and restoring
// the current directory.
void WalkToTarget(platform::FileSystem& fileSystem, char startDrive, TSplitTarget& target)
{
    std::string& folder = target.Folder;
    if (target.Drive != startDrive) RaiseOnFailure(fileSystem.SetCurrentDirectory(std::string{target.Drive, ':'}));

    // The file system takes "/" as a separator too, so a name must never
    // hold one: "x/Daten" would otherwise be entered as a folder of its own
    // and joined to the folder it started from.
    const std::size_t separator = folder.find_last_of("\\/:");
    const std::string name = separator == std::string::npos ? folder : folder.substr(separator + 1);
    if (folder.size() == name.size() + 1) {
        folder.assign(1, '\\');
    } else if (folder.size() > name.size()) {
        folder.resize(folder.size() - name.size() - 1);
    } else {
        folder = fileSystem.GetCurrentDirectory().substr(2);
    }
    if (!folder.empty()) RaiseOnFailure(fileSystem.SetCurrentDirectory(folder));

    // A file or a mask names the folder that holds it; anything else is a
    // folder of its own.
    if (!name.empty() && name.find_first_of("*?") == std::string::npos && !fileSystem.FileExists(name)) {
        RaiseOnFailure(fileSystem.SetCurrentDirectory(name));
        // Joined by looking at the last character, so that a relative folder
        // of one letter ("M\Live") stays relative.
        folder += EndsWithBackslash(folder) ? name : "\\" + name;
    }
}

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

// Sets a flag for as long as it lives, also when an error passes.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~TFlagGuard() { m_flag = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& m_flag;
};

std::string CurrentDirectoryWithVolumes()
{
    // Asking for the drives first lets a system that gives mounted volumes
    // their letters only when it looks at them do so, so that a folder on a
    // stick reads as a folder of its own drive from the start.
    platform::HostVolumes().LogicalDrives();
    return platform::HostFileSystem().GetCurrentDirectory();
}

}  // namespace

TSplitTarget SplitTarget(std::string_view request)
{
    platform::FileSystem& fileSystem = platform::HostFileSystem();
    const std::string start = fileSystem.GetCurrentDirectory();
    TSplitTarget target{start.empty() ? '\0' : start[0], std::string(request)};

    // Names on Linux may hold ":", "*" and "?". A request that names an
    // existing folder as it stands means that folder, even where the rules
    // below would read a separator or a mask into it. Only such requests are
    // tried as they stand: on Windows they never name a folder, so there
    // everything else keeps the rules alone.
    if (HoldsCharactersTheRulesMisread(request) &&
        EnterAsItStands(fileSystem, request, target) == platform::kErrorSuccess) {
        RaiseOnFailure(fileSystem.SetCurrentDirectory(start));
        return target;
    }

    std::string& folder = target.Folder;
    if (folder.size() >= 2 && folder.front() == '[' && folder.back() == ']') {
        folder = folder.substr(1, folder.size() - 2);
    } else if (folder.find(':') == 1) {
        target.Drive = folder[0];
        folder.erase(0, 2);
    }

    try {
        WalkToTarget(fileSystem, start[0], target);
    } catch (...) {
        RaiseOnFailure(fileSystem.SetCurrentDirectory(start));
        throw;
    }
    RaiseOnFailure(fileSystem.SetCurrentDirectory(start));
    return target;
}

TSplitTarget FolderTarget(std::string_view folder)
{
    platform::FileSystem& fileSystem = platform::HostFileSystem();
    const std::string start = fileSystem.GetCurrentDirectory();
    TSplitTarget target;
    const std::uint32_t error = EnterAsItStands(fileSystem, folder, target);
    RaiseOnFailure(fileSystem.SetCurrentDirectory(start));
    RaiseOnFailure(error);
    return target;
}

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

TDirectoryListBox::~TDirectoryListBox()
{
    if (m_driveCombo) m_driveCombo->m_dirList = nullptr;
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
        TFlagGuard driveSwitch(m_inDriveSwitch);
        if (m_driveCombo) m_driveCombo->SetDriveLetter(target.Drive);
        // A drive list that already stood on that drive (after a drive it
        // could not enter) moves nothing; the folder must not end up on the
        // old drive for that.
        if (!SameDriveLetter(target.Drive, DriveLetter())) ChangeToDrive(target.Drive);
    }
    platform::FileSystem& fileSystem = platform::HostFileSystem();
    static_cast<void>(fileSystem.SetCurrentDirectory(m_folderPath));
    RaiseOnFailure(fileSystem.SetCurrentDirectory(target.Folder));
    m_folderPath = fileSystem.GetCurrentDirectory();
    RebuildItems();
    OnChange(this);
}

void TDirectoryListBox::ChangeToDrive(char letter)
{
    if (SameDriveLetter(letter, DriveLetter())) return;
    platform::FileSystem& fileSystem = platform::HostFileSystem();
    RaiseOnFailure(fileSystem.SetCurrentDirectory(std::string{letter, ':'}));
    m_folderPath = fileSystem.GetCurrentDirectory();
    if (!m_inDriveSwitch) {
        RebuildItems();
        OnChange(this);
    }
}

void TDirectoryListBox::RebuildItems()
{
    setUpdatesEnabled(false);
    clear();
    m_items.clear();

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

    if (EndsWithBackslash(m_folderPath)) {
        m_items.push_back({m_folderPath, dkCurrentFolder});
    } else {
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
    m_currentFolderIndex = ItemCount() - 1;

    std::vector<std::string> names;
    const std::string pattern = m_folderPath + (EndsWithBackslash(m_folderPath) ? "*.*" : "\\*.*");
    if (auto search = platform::HostFileSystem().FindFirstReporting(
            pattern, platform::faDirectory | platform::faHidden | platform::faSysFile | platform::faVolumeId)) {
        platform::FindEntry entry;
        while (search->Next(entry)) {
            if ((entry.Attributes & (platform::faHidden | platform::faSysFile | platform::faVolumeId)) != 0) continue;
            if ((entry.Attributes & platform::faDirectory) == 0 || entry.Name == "." || entry.Name == "..") continue;
            names.push_back(std::move(entry.Name));
        }
    }
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
    if (!m_caseSensitive) {
        names.erase(std::unique(names.begin(), names.end(),
                                [&](const std::string& a, const std::string& b) {
                                    return textCase.CompareIgnoreCase(a, b) == 0;
                                }),
                    names.end());
    }
    for (std::string& name : names) m_items.push_back({std::move(name), dkSubFolder});

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
        return m_folderPath + (EndsWithBackslash(m_folderPath) ? "" : "\\") + ItemText(index);
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
