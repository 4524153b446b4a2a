#pragma once

#include "framework/Events.h"
#include "widgets/FolderRequest.h"

#include <QComboBox>
#include <QListWidget>
#include <QPixmap>
#include <QPointer>

#include <string>
#include <string_view>
#include <vector>

class QPainter;

namespace quorvane {

class TDriveComboBox;

// The case in which the drive list shows letters, and with them labels and
// share names.
enum TTextCase { tcLowerCase, tcUpperCase };

// The three kinds of item of the folder list, each with its own picture.
enum TDirItemKind {
    dkOpenFolder,     // a folder on the way from the root down, "OPENFOLDER"
    dkCurrentFolder,  // the current folder itself, "CURRENTFOLDER"
    dkSubFolder,      // a folder inside the current one, "CLOSEDFOLDER"
};

// The left edge of the picture of item `index` of a folder list whose
// current folder is `folderPath`: the path steps in by 4 pixels per level,
// the subfolders sit one step further in than the current folder.
int DirItemIndent(int index, TDirItemKind kind, std::string_view folderPath);

// The list in which the user chooses the folder to work on: the path of the
// current folder from its drive's root down, then the current folder's
// subfolders. A double-click or Enter on an item opens its folder.
//
// The list works through the file system's current folder: every change of
// folder changes the current folder and reads it back, so FolderPath is
// always the system's own form of the name of a folder that exists, and
// after a change the current folder is FolderPath. On Windows that is the
// process's current directory; on Linux the platform layer keeps it, and
// the process stays in the home folder, so a folder shown holds no volume
// busy.
class TDirectoryListBox : public QListWidget {
    Q_OBJECT

public:
    explicit TDirectoryListBox(QWidget* parent = nullptr);

    // "C:\" for a root, "C:\Daten\Musik" for any other folder.
    const std::string& FolderPath() const { return m_folderPath; }
    // Changes the current folder to what `request` names (see SplitTarget);
    // an empty request or the current folder itself changes nothing. Raises
    // EInOutError, with list, FolderPath and current directory unchanged,
    // when the folder cannot be reached.
    void SetFolderPath(std::string_view request);

    // The first character of FolderPath.
    char DriveLetter() const;

    // Goes to the current folder of drive `letter`; nothing when the list is
    // on that drive already. Raises EInOutError, changing nothing, when the
    // drive cannot be entered.
    void ChangeToDrive(char letter);

    // Builds the items anew for FolderPath.
    void RebuildItems();

    int ItemCount() const { return static_cast<int>(m_items.size()); }
    const std::string& ItemText(int index) const { return m_items.at(static_cast<std::size_t>(index)).Text; }
    TDirItemKind ItemKind(int index) const { return m_items.at(static_cast<std::size_t>(index)).Kind; }
    const QPixmap& ItemImage(int index) const;
    // The item's text as shown: in lower case on a volume that keeps no case.
    std::string DisplayText(int index) const;
    int CurrentFolderIndex() const { return m_currentFolderIndex; }

    // The folder item `index` stands for; empty for an index outside the list.
    std::string ItemPath(int index) const;

    // Opens the folder of the selected item, as a double-click or Enter does.
    void OpenSelected();

    // From the volume of the current drive at the last rebuild.
    bool PreservesCase() const { return m_preservesCase; }
    bool CaseSensitive() const { return m_caseSensitive; }

    // True only while a drive change made on behalf of SetFolderPath runs.
    bool InDriveSwitch() const { return m_inDriveSwitch; }

    // The drive list whose DirList this list is; set from the drive list's side.
    TDriveComboBox* DriveCombo() const;

    // The height of every item; follows the font.
    int ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int height);

    // The list's window comes into being with its first display: the items
    // are built and the current folder is selected. HandleNeeded does that
    // at once when it has not happened yet.
    bool HandleAllocated() const { return m_handleAllocated; }
    void HandleNeeded();

    // Paints item `index` into `rect`.
    void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) const;

    // Fires after each change of FolderPath that rebuilt the list.
    TNotifyEvent OnChange;

    static constexpr int kDefaultWidth = 145;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct TItem {
        std::string Text;
        TDirItemKind Kind = dkSubFolder;
    };

    bool SameFolderName(std::string_view a, std::string_view b) const;
    void GoTo(const TSplitTarget& target);
    // The jobs of RebuildItems: how the volume treats case, the items of the
    // path, and the items shown with the current folder selected.
    void ReadVolumeCase();
    void AddPathItems();
    void ShowItems();
    void ComputeItemHeight();

    std::string m_folderPath;
    std::vector<TItem> m_items;
    int m_currentFolderIndex = -1;
    bool m_preservesCase = true;
    bool m_caseSensitive = true;
    bool m_inDriveSwitch = false;
    bool m_handleAllocated = false;
    int m_itemHeight = 16;
    QPixmap m_openImage;
    QPixmap m_closedImage;
    QPixmap m_currentImage;
};

// The drop-down list of the machine's drives, each with a picture of its
// kind, its letter and its volume label or network share. Choosing a drive
// moves the linked folder list there, right after the list has handled the
// key or click (as a posted call). The entries are read when the list's
// window comes into being and are not refreshed when drives come or go.
class TDriveComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TDriveComboBox(QWidget* parent = nullptr);

    // The drive the list stands on, in the case TextCase asks for once it
    // was first set.
    char DriveLetter() const { return m_driveLetter; }
    // Selects the entry of drive `letter`, moves the linked folder list there
    // and fires OnChange; nothing while an entry is selected and the letter is
    // the current one. An error of the folder list passes on, with the new
    // drive already shown here and no OnChange.
    void SetDriveLetter(char letter);

    TTextCase TextCase() const { return m_textCase; }
    void SetTextCase(TTextCase textCase);

    // The linked folder list, or nullptr; cleared when that list goes.
    TDirectoryListBox* DirList() const;
    void SetDirList(TDirectoryListBox* list);

    // Reads the drives afresh and builds one entry per drive with a root.
    void RebuildDrives();

    int EntryCount() const { return static_cast<int>(m_entries.size()); }
    const std::string& EntryText(int index) const { return m_entries.at(static_cast<std::size_t>(index)).Text; }
    // The entry's picture; a null pixmap for an entry without one.
    const QPixmap& EntryImage(int index) const;

    // "[system]" for drive c with the label System; "[]" when the volume has
    // no label or cannot be read. The case follows the case of `letter`.
    std::string VolumeLabelText(char letter) const;
    // The network name connected to drive `letter`, in the letter's case;
    // VolumeLabelText when there is none.
    std::string NetworkShareText(char letter) const;

    int ItemHeight() const { return m_itemHeight; }

    bool HandleAllocated() const { return m_handleAllocated; }
    // The entries are built and the current drive selected when the list's
    // window comes into being (first display, font change); HandleNeeded
    // does that at once when it has not happened yet.
    void HandleNeeded();

    // Paints entry `index` into `rect`.
    void DrawEntry(QPainter& painter, int index, const QRect& rect, bool selected) const;

    // Fires after DriveLetter was set and the linked folder list followed.
    TNotifyEvent OnChange;

    static constexpr int kDefaultWidth = 145;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct TEntry {
        std::string Text;
        const QPixmap* Image = nullptr;
    };

    void CreateWnd();
    void Click();
    void ComputeItemHeight();
    char LetterInCase(char letter) const;

    char m_driveLetter = 0;
    TTextCase m_textCase = tcLowerCase;
    std::vector<TEntry> m_entries;
    bool m_handleAllocated = false;
    int m_itemHeight = 15;
    QPixmap m_floppyImage;
    QPixmap m_hardImage;
    QPixmap m_networkImage;
    QPixmap m_cdromImage;
    QPixmap m_ramImage;
};

// The pairing of a drive list with the folder list that follows it. The two
// widgets reach each other only through it: the drive list moves the folder
// list to the drive chosen, the folder list shows the drive of a folder it
// went to. A folder list follows one drive list at most, and a drive list
// leads one folder list; a widget that goes takes its pairing with it.
class TDriveFolderLink final : public QObject {
    Q_OBJECT

public:
    // Pairs `drives` with `folders`, ending the pairings either had; with
    // nullptr for `folders`, only ends the drive list's pairing.
    static void Pair(TDriveComboBox& drives, TDirectoryListBox* folders);
    // The pairing a widget is part of, or nullptr.
    static TDriveFolderLink* Of(const TDriveComboBox* drives);
    static TDriveFolderLink* Of(const TDirectoryListBox* folders);

    ~TDriveFolderLink() override;

    // Either is nullptr once its widget has gone.
    TDriveComboBox* Drives() const { return m_drives; }
    TDirectoryListBox* Folders() const { return m_folders; }

private:
    TDriveFolderLink(TDriveComboBox& drives, TDirectoryListBox& folders);

    QPointer<TDriveComboBox> m_drives;
    QPointer<TDirectoryListBox> m_folders;
};

}  // namespace quorvane
