#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Looks at a real X server from outside the program, for the test and the
// benchmark that start the real executable: there is no timer to fire in
// another process, only its windows to watch.
namespace quorvane::testing {

// What a shell command prints; empty when it cannot run.
inline std::string CommandOutput(const std::string& command)
{
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, count);
        ::pclose(pipe);
    }
    return text;
}

// True once the main window of that title is mapped. xwininfo's tree lists
// the mapped state only per window, so each window of the title is asked.
// The about box takes the same title once it shows as the splash; the main
// window is the one of its designed 688 x 512, as at a first start on the
// 1280 x 1024 screen, whose half would be narrower.
inline bool MainWindowShown(const std::string& display, const std::string& title)
{
    const std::string tree = CommandOutput("xwininfo -display " + display + " -root -tree 2>/dev/null");
    const std::string quoted = "\"" + title + "\"";
    for (std::size_t at = tree.find(quoted); at != std::string::npos; at = tree.find(quoted, at + 1)) {
        const std::size_t lineStart = tree.rfind('\n', at) + 1;
        const std::string line = tree.substr(lineStart, tree.find('\n', at) - lineStart);
        if (line.find(" 688x512+") == std::string::npos) continue;
        const std::size_t idStart = tree.find("0x", lineStart);
        const std::string id = tree.substr(idStart, tree.find(' ', idStart) - idStart);
        const std::string info = CommandOutput("xwininfo -display " + display + " -id " + id + " 2>/dev/null");
        if (info.find("IsViewable") != std::string::npos) return true;
    }
    return false;
}

}  // namespace quorvane::testing
