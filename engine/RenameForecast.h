#pragma once

#include "engine/NameTable.h"
#include "platform/FileSystem.h"

#include <memory>
#include <string>
#include <string_view>

namespace quorvane {

// Whether a batch run may give a file the name `newName` at all: one plain
// name of its folder, within the rules of the folder's file system, that
// does not hide a file whose name did not (on Linux a name starting with "."
// hides its file from the file manager and from the program's own listing).
bool IsUsableNewName(std::string_view oldName, std::string_view newName, const platform::FolderNameRules& rules);

// Foresees, for a test run, what the renames of an execute run would do on
// the same, unchanged folder, so that the preview shows "Fehler" exactly
// where the run would. It plays the renames through in row order: a name
// given up by an earlier row is free, a name taken by one is taken, and
// every other name is as the file system has it. Names are compared as the
// folder's file system compares them, so in a folder that ignores case a
// name given up or taken in one spelling is given up or taken in all. A
// rename succeeds as the file system's own does: never onto an existing
// entry, except onto the file's own entry, which a file system that ignores
// case finds under a case-only change of the name (a second name of the same
// file, a hard link, is an entry of its own and stays in the way); and never
// for a file the system keeps from being renamed (immutable, or another
// user's in a sticky folder).
class RenameForecast {
public:
    RenameForecast(platform::FileSystem& fileSystem, std::string folderPath, platform::FolderNameRules rules);
    ~RenameForecast();
    RenameForecast(const RenameForecast&) = delete;
    RenameForecast& operator=(const RenameForecast&) = delete;

    // Whether renaming the entry `oldName` to `newName` would succeed after
    // the renames foreseen so far; when it would, it counts as done.
    bool Rename(const std::string& oldName, const std::string& newName);

private:
    // A name's state is its mark in m_names.
    enum NameState : unsigned char { Unknown, Free, TakenInRun, OnDisk };

    // Lists every entry of the folder once, so that asking whether a name
    // is taken costs no system call.
    void ListFolder();
    // The name as the folder compares it: the name itself in a folder that
    // tells case apart, else its key, kept in `buffer`.
    std::string_view Key(std::string_view name, std::string& buffer) const;
    // The entry of the name with the key `key` in m_names; a name new to
    // the forecast is entered with the state the folder gives it.
    NameTable::Entry Enter(std::string_view key, std::string_view name);
    // Enter for the name of a file the run met.
    NameTable::Entry EnterOldName(std::string_view key, std::string_view name);
    bool Identity(std::string_view name, platform::FileIdentity& identity);
    // Whether the entry `oldName` is the very file that the folder finds
    // under `newName`, with no other name.
    bool IsOwnEntry(std::string_view oldName, std::string_view newName);
    bool MayRename(std::string_view oldName);

    platform::FileSystem& m_fileSystem;
    std::string m_folderPath;  // ends with a backslash
    platform::FolderNameRules m_rules;
    bool m_listed = false;
    // Every name of the folder, and the names the renames foreseen so far
    // freed or took, by Key. The listing's names come first, in its order.
    NameTable m_names;
    NameTable::Entry m_lastListed = 0;
    NameTable::Entry m_nextListed = 0;  // the listed name after the last file met
    std::unique_ptr<platform::FolderEntries> m_entries;
    bool m_entriesOpened = false;
    std::string m_path;  // room for the full paths asked for, kept between calls
    std::string m_oldKey;
    std::string m_newKey;
};

}  // namespace quorvane
