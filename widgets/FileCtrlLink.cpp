#include "widgets/FileCtrl.h"

#include <algorithm>
#include <vector>

namespace quorvane {

namespace {

// The pairings that exist; a program has one or two.
std::vector<TDriveFolderLink*>& Links()
{
    static std::vector<TDriveFolderLink*> links;
    return links;
}

}  // namespace

// The pairing lives as a child of the drive list, which takes it along when
// it goes; a folder list that goes leaves it without its folder end.
TDriveFolderLink::TDriveFolderLink(TDriveComboBox& drives, TDirectoryListBox& folders)
    : QObject(&drives), m_drives(&drives), m_folders(&folders)
{
    Links().push_back(this);
}

TDriveFolderLink::~TDriveFolderLink() { std::erase(Links(), this); }

void TDriveFolderLink::Pair(TDriveComboBox& drives, TDirectoryListBox* folders)
{
    TDriveFolderLink* own = Of(&drives);
    if (own != nullptr ? own->Folders() == folders : folders == nullptr) return;
    delete own;
    if (folders == nullptr) return;
    // A folder list follows one drive list only.
    delete Of(folders);
    new TDriveFolderLink(drives, *folders);
}

TDriveFolderLink* TDriveFolderLink::Of(const TDriveComboBox* drives)
{
    const auto it = std::find_if(Links().begin(), Links().end(),
                                 [drives](const TDriveFolderLink* link) { return link->m_drives == drives; });
    return it != Links().end() ? *it : nullptr;
}

TDriveFolderLink* TDriveFolderLink::Of(const TDirectoryListBox* folders)
{
    const auto it = std::find_if(Links().begin(), Links().end(),
                                 [folders](const TDriveFolderLink* link) { return link->m_folders == folders; });
    return it != Links().end() ? *it : nullptr;
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list) { TDriveFolderLink::Pair(*this, list); }

TDirectoryListBox* TDriveComboBox::DirList() const
{
    const TDriveFolderLink* link = TDriveFolderLink::Of(this);
    return link != nullptr ? link->Folders() : nullptr;
}

TDriveComboBox* TDirectoryListBox::DriveCombo() const
{
    const TDriveFolderLink* link = TDriveFolderLink::Of(this);
    return link != nullptr ? link->Drives() : nullptr;
}

}  // namespace quorvane
