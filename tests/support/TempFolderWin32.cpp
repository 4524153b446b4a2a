#include "tests/support/TempFolder.h"

#include "platform/win32/Win32Api.h"

#include <algorithm>
#include <stdexcept>

// The Windows temporary folder, handled through the ANSI functions: names in
// the tests are ANSI text, as the program's own are, and a narrow path of
// the standard library would not read them in that code page.
namespace quorvane::testing {
namespace {

std::filesystem::path FromAnsi(const std::string& text)
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return std::filesystem::path(wide);
}

std::string Joined(const std::string& folder, std::string_view relativeName)
{
    std::string path = folder + "\\";
    for (char c : relativeName) path += c == '/' ? '\\' : c;
    return path;
}

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA data{};
    const HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            // Read-only entries would refuse to go.
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(folder.c_str());
}

void CreateFolders(const std::string& path)
{
    const std::size_t backslash = path.find_last_of('\\');
    if (backslash != std::string::npos && backslash > 2) CreateFolders(path.substr(0, backslash));
    ::CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

TempFolder::TempFolder()
{
    char base[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof base, base);
    if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
    std::string folder(base, length);
    if (folder.back() == '\\') folder.pop_back();
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string candidate = folder + "\\quorvane-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                      std::to_string(++counter);
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            m_name = candidate;
            m_path = FromAnsi(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() { RemoveTree(m_name); }

std::filesystem::path TempFolder::CreateFile(std::string_view relativeName, std::string_view content) const
{
    const std::string path = Joined(m_name, relativeName);
    CreateFolders(path.substr(0, path.find_last_of('\\')));
    const HANDLE file =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    const bool ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                    written == content.size();
    ::CloseHandle(file);
    if (!ok) throw std::runtime_error("cannot write " + path);
    return FromAnsi(path);
}

std::filesystem::path TempFolder::CreateFolder(std::string_view relativeName) const
{
    const std::string path = Joined(m_name, relativeName);
    CreateFolders(path);
    return FromAnsi(path);
}

bool TempFolder::Exists(std::string_view relativeName) const
{
    return ::GetFileAttributesA(Joined(m_name, relativeName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TempFolder::Names() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    const HANDLE find = ::FindFirstFileA((m_name + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace quorvane::testing
