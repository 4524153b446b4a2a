#pragma once

// Every German text the application layer shows, kept in one place.
namespace quorvane::messages {

inline constexpr const char* kCannotWriteSettings = "Kann nicht nach %s schreiben";
inline constexpr const char* kNoDisplay =
    "Quorvane kann die Anzeige nicht erreichen und kein Fenster öffnen; das Programm wird beendet.";

}  // namespace quorvane::messages
