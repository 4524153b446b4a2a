#pragma once

namespace quorvane::platform::posix {

// Renames without ever replacing an existing entry, as Windows does; 0 or an
// errno value (EEXIST when `to` exists). Relative names are taken relative to
// the open folder `folder` (AT_FDCWD: the working directory), as the *at
// system calls take them; the forms without it use the working directory.
int RenameWithoutReplacing(int folder, const char* from, const char* to);
int RenameWithoutReplacing(const char* from, const char* to);

// The same for file systems that refuse the kernel's no-replace flag: a hard
// link (which fails when `to` exists) and the removal of the old name, or,
// where links are not supported either, a look before a plain rename.
int RenameWithoutReplacingByLink(int folder, const char* from, const char* to);
int RenameWithoutReplacingByLink(const char* from, const char* to);

// Renames `from` to `to` through a free temporary name in the folder of
// `from`. For a change of case only on a case-insensitive file system, where
// `to` is found as `from` itself; when the second step fails the first is
// undone, so nothing is lost and nothing replaced.
int RenameThroughTemporaryName(int folder, const char* from, const char* to);
int RenameThroughTemporaryName(const char* from, const char* to);

}  // namespace quorvane::platform::posix
