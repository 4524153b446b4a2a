#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Widget tests run without a screen: the offscreen platform, unless the
// caller chose one, and a private runtime folder so Qt stays quiet.
void PrepareEnvironment()
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
}

}  // namespace

int main(int argc, char** argv)
{
    PrepareEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
