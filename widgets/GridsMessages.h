#pragma once

// Every German text the grid widget shows, kept in one place.
namespace quorvane::messages {

inline constexpr const char* kListIndexOutOfBounds = "Listenindex außerhalb des zulässigen Bereichs";
inline constexpr const char* kGridIndexOutOfRange = "Gitterindex außerhalb des zulässigen Bereichs";
inline constexpr const char* kFixedColsTooBig = "Die Anzahl fester Spalten muß kleiner sein als die Spaltenanzahl";
inline constexpr const char* kFixedRowsTooBig = "Die Anzahl fester Zeilen muß kleiner sein als die Zeilenanzahl";
inline constexpr const char* kGridTooLarge = "Gitter zu groß für Operation";

}  // namespace quorvane::messages
