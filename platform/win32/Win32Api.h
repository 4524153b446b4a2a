#pragma once

// The Windows interface for the backends of this folder. Windows names its
// functions by macros (MoveFile stands for MoveFileA or MoveFileW), which
// would rename the platform services' own operations of the same names; the
// backends call the ANSI functions by their full names instead.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CreateFile
#undef GetCurrentDirectory
#undef GetDriveType
#undef GetFileAttributes
#undef GetVolumeInformation
#undef MoveFile
#undef SetCurrentDirectory
