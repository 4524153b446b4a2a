#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace quorvane::testing {

namespace detail {
inline QtMessageHandler g_qtMessageHandler = nullptr;

// The offscreen platform cannot raise windows and says so each time; that
// says nothing about the program.
inline void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (g_qtMessageHandler != nullptr) g_qtMessageHandler(type, context, message);
}
}  // namespace detail

// Window tests run without a screen: the offscreen platform, unless the
// caller chose one, and a private runtime folder so Qt stays quiet.
inline void PrepareQtTestEnvironment()
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || !std::filesystem::is_directory(runtime)) {
        // One folder per user, shared by every test process, so that
        // thousands of test starts leave nothing behind.
        const std::string folder =
            (std::filesystem::temp_directory_path() / ("quorvane-runtime-" + std::to_string(::getuid()))).string();
        ::mkdir(folder.c_str(), 0700);
        struct stat info {};
        if (::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid()) {
            ::chmod(folder.c_str(), 0700);
            ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        }
    }
    detail::g_qtMessageHandler = qInstallMessageHandler(detail::FilterQtMessages);
}

}  // namespace quorvane::testing
