#pragma once

// Every German text the application layer shows, kept in one place.
namespace quorvane::messages {

inline constexpr const char* kCannotWriteSettings = "Kann nicht nach %s schreiben";

}  // namespace quorvane::messages
