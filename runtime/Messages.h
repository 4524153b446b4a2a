#pragma once

// Every German text the runtime layer shows, kept in one place.
namespace quorvane::messages {

inline constexpr const char* kFileNotFound = "Datei nicht gefunden";
inline constexpr const char* kInvalidFileName = "Ungültiger Dateiname";
inline constexpr const char* kTooManyOpenFiles = "Zu viele Dateien geöffnet";
inline constexpr const char* kFileAccessDenied = "Dateizugriff verweigert";
inline constexpr const char* kInOutError = "I/O-Fehler %d";
inline constexpr const char* kInvalidInteger = "'%s' ist kein gültiger Integerwert";

}  // namespace quorvane::messages
