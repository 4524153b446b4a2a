#pragma once

#include <string>

namespace quorvane::platform {

// The full name of the running executable in the system's own form
// ("C:\Programme\Quorvane\quorvane.exe"; on Linux in the drive-letter space,
// C:\... under the home folder, Z:\... elsewhere), or the one a test put in
// its place. Empty when the system cannot tell or the path cannot be named.
std::string ModuleFileName();

// The real one of this operating system.
std::string NativeModuleFileName();

// Tests put another executable name in place of the real one (the settings
// file lies beside it); the empty text restores the real one. Returns the
// previous replacement.
std::string ReplaceModuleFileName(std::string replacement);

}  // namespace quorvane::platform
