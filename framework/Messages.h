#pragma once

// Every German text the windowing framework shows, kept in one place.
namespace quorvane::messages {

inline constexpr const char* kCannotShowVisibleModal = "Kann aus einem sichtbaren Fenster kein modales machen";
inline constexpr const char* kBitmapNotFound = "Bitmap-Ressource nicht gefunden: ";

inline constexpr const char* kWarningCaption = "Warnung";
inline constexpr const char* kErrorCaption = "Fehler";
inline constexpr const char* kInformationCaption = "Information";
inline constexpr const char* kOkButton = "OK";

}  // namespace quorvane::messages
