#pragma once

// The main window's own texts: captions as the user reads them, and the
// keys of the settings file, which stored files rely on.
namespace quorvane::maintexts {

inline constexpr const char* kFileMaskLabel = "Dateifilter";
inline constexpr const char* kStructureChange = "Strukturänderung";
inline constexpr const char* kSectionCountLabel = "Anzahl Abschnitte";
inline constexpr const char* kOldSeparatorLabel = "Trennsequenz alt";
inline constexpr const char* kNewSeparatorLabel = "Trennsequenz neu";
inline constexpr const char* kLeadingTextLabel = "Führender Text";
inline constexpr const char* kEqualiseSpaces = "Leerzeichenausgleich";
inline constexpr const char* kUnderscoreHandling = "Unterstrichbehandlung einschalten";
inline constexpr const char* kCapitaliseWords = "Ersten Buchstaben Groß";
inline constexpr const char* kIgnoreExcessSections = "Überzählige Abschnitte ignorieren";
inline constexpr const char* kTestButton = "Testen";
inline constexpr const char* kExecuteButton = "Ausführen";
inline constexpr const char* kUndoLastRun = "Letzte Ausführung rückgängig machen";

// Names a screen reader speaks for controls that show no caption of their own.
inline constexpr const char* kDriveListName = "Laufwerk";
inline constexpr const char* kFolderListName = "Verzeichnis";
inline constexpr const char* kStructureGridName = "Struktur";
inline constexpr const char* kResultGridName = "Ergebnis";

inline constexpr const char* kOldSectionHeader = "alter Abschnitt";
inline constexpr const char* kNewSectionHeader = "neuer Abschnitt";
inline constexpr const char* kResultHeader = "Ergebnis";
inline constexpr const char* kOldNameHeader = "alt";
inline constexpr const char* kNewNameHeader = "neu";

// The settings file: one section named after the window, one key per value.
inline constexpr const char* kSettingsSection = "FormMain";
inline constexpr const char* kTopKey = "Oben";
inline constexpr const char* kLeftKey = "Links";
inline constexpr const char* kHeightKey = "Hoehe";
inline constexpr const char* kWidthKey = "Breite";
inline constexpr const char* kStateKey = "Status";
inline constexpr const char* kDirectoryKey = "Directory";
inline constexpr const char* kDefaultDirectory = "C:\\";

}  // namespace quorvane::maintexts
