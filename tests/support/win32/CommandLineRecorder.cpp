// A stand-in browser for the tests on Windows. It writes the parameter text
// it was started with (its command line without its own name) and a line end
// into the file named like itself, with ".txt" in place of ".exe". A batch
// file cannot stand in faithfully: the command interpreter takes a percent
// sign in its arguments, as in an encoded address, for a reference to an
// argument and replaces it.
#include <windows.h>

#include <cstdio>
#include <string>

int main()
{
    std::string line = ::GetCommandLineA();
    std::size_t start = 0;
    if (!line.empty() && line.front() == '"') {
        start = line.find('"', 1);
        start = start == std::string::npos ? line.size() : start + 1;
    } else {
        start = line.find_first_of(" \t");
        if (start == std::string::npos) start = line.size();
    }
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;

    char own[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, own, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    std::string output(own, length);
    const std::size_t dot = output.rfind('.');
    output = (dot == std::string::npos ? output : output.substr(0, dot)) + ".txt";

    const std::string content = line.substr(start) + "\r\n";
    std::FILE* file = std::fopen(output.c_str(), "wb");
    if (file == nullptr) return 1;
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && written ? 0 : 1;
}
