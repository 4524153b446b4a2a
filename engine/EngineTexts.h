#pragma once

// Every German text the renaming engine shows, kept in one place.
namespace quorvane::engine_texts {

// Statuses of a result row.
inline constexpr const char* kStatusOk = "Ok";
inline constexpr const char* kStatusNotRestructured = "--";
inline constexpr const char* kStatusFailed = "Fehler";

// Errors of the section map; the value follows in decimal.
inline constexpr const char* kValueOutOfRange = "Wert außerhalb Gültigkeitsbereich: ";
inline constexpr const char* kDuplicateValue = "Doppelter Wert: ";

// A section count that the main window never lets through, from another tool.
inline constexpr const char* kSectionCountOutOfRange = "Anzahl Abschnitte außerhalb Gültigkeitsbereich (2 bis 10): ";

}  // namespace quorvane::engine_texts
