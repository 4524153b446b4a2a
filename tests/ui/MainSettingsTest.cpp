#include "ui/Main.h"

#include "app/Application.h"
#include "framework/Screen.h"
#include "platform/Module.h"
#include "platform/Profile.h"
#include "platform/posix/DriveNameSpace.h"
#include "tests/support/FakeProfile.h"
#include "tests/support/FakeSettingsFolders.h"
#include "tests/support/HostOverride.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "ui/StartBounds.h"
#include "widgets/FileCtrl.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace quorvane {
namespace {

// The program as if it were installed in a temporary folder: its settings
// file lies there beside the executable's name.
class MainSettingsTest : public ::testing::Test {
protected:
    MainSettingsTest()
        : m_executable(*platform::posix::FromUnixPath((m_folder.Path() / "quorvane").string())),
          m_previousModule(platform::ReplaceModuleFileName(m_executable))
    {
        Application().SetTitle("Quorvane V1.24");
    }
    // The folder list leaves its drive's current folder at the folder it
    // shows; it moves out before the folder goes, or the next list could not
    // enter its drive.
    ~MainSettingsTest() override
    {
        if (FormMain != nullptr) FormMain->DirectoryListBox1->SetFolderPath(DriveName(m_folder.Path().parent_path()));
        Application().ReleaseForms();
        platform::ReplaceModuleFileName(m_previousModule);
    }

    std::string DriveName(const std::filesystem::path& path) const
    {
        return *platform::posix::FromUnixPath(path.string());
    }
    std::filesystem::path IniPath() const { return m_folder.Path() / "quorvane.ini"; }
    void WriteIni(const std::string& text) const { std::ofstream(IniPath()) << text; }
    std::string ReadIni() const
    {
        std::ifstream file(IniPath());
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    TFormMain& Start()
    {
        Application().CreateForm(FormMain);
        return *FormMain;
    }
    std::string Folder() const { return FormMain->DirectoryListBox1->FolderPath(); }

    testing::TempFolder m_folder;
    std::string m_executable;
    std::string m_previousModule;
};

TEST_F(MainSettingsTest, FirstStartWithoutAFileTakesTheDefaultsAndCreatesNothing)
{
    TFormMain& form = Start();
    EXPECT_EQ(form.Top(), 0);
    EXPECT_EQ(form.Left(), 0);
    // Half the screen, but never less than the window was designed at.
    EXPECT_EQ(form.Height(), std::min(std::max(ScreenHeight() / 2, 512), PrimaryWorkArea().height()));
    EXPECT_EQ(form.Width(), std::min(std::max(ScreenWidth() / 2, 688), PrimaryWorkArea().width()));
    EXPECT_EQ(form.WindowState(), wsNormal);
    EXPECT_EQ(Folder(), "C:\\");
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

// Each row stands alone in the file; the other values take their defaults.
TEST_F(MainSettingsTest, StoredNumbersAreReadAsIntegersOrGiveTheDefault)
{
    struct Row {
        const char* line;
        int top, left, height, width;
    };
    const int defaultHeight = std::min(std::max(ScreenHeight() / 2, 512), PrimaryWorkArea().height());
    const int defaultWidth = std::min(std::max(ScreenWidth() / 2, 688), PrimaryWorkArea().width());
    const std::vector<Row> table = {
        {"Oben=0x10", 16, 0, defaultHeight, defaultWidth},
        {"Oben=$10", 16, 0, defaultHeight, defaultWidth},
        {"Oben=16", 16, 0, defaultHeight, defaultWidth},
        {"Oben=0x", 0, 0, defaultHeight, defaultWidth},
        {"Oben=$", 0, 0, defaultHeight, defaultWidth},
        {"Links=12abc", 0, 0, defaultHeight, defaultWidth},
        {"Links= 7", 0, 7, defaultHeight, defaultWidth},
        {"Hoehe=+300", 0, 0, 300, defaultWidth},
        {"Breite=2147483648", 0, 0, defaultHeight, defaultWidth},
        {"Breite=350", 0, 0, defaultHeight, 350},
        // A window nobody could see or grab is made reachable.
        {"Hoehe=0", 0, 0, 39, defaultWidth},
        {"Breite=-5", 0, 0, defaultHeight, 136},
        {"Links=-9000", 0, 0, defaultHeight, defaultWidth},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.line);
        WriteIni(std::string("[FormMain]\n") + row.line + "\nStatus=-0\n");
        TFormMain& form = Start();
        EXPECT_EQ(form.Top(), row.top);
        EXPECT_EQ(form.Left(), row.left);
        EXPECT_EQ(form.Height(), row.height);
        EXPECT_EQ(form.Width(), row.width);
        EXPECT_EQ(form.WindowState(), wsNormal);
        Application().ReleaseForms();
    }
}

TEST_F(MainSettingsTest, AFolderThatIsGoneGivesTheExecutablesFolderWithoutAMessage)
{
    const auto gone = m_folder.CreateFolder("Musik");
    WriteIni("[FormMain]\nDirectory=" + DriveName(gone) + "\n");
    std::filesystem::remove(gone);
    Start();
    EXPECT_EQ(Folder(), DriveName(m_folder.Path()));
}

// A folder whose name holds what the rules for typed folders would read as
// a drive, a mask or a file survives a restart; a Unix path put into the
// file by hand opens its folder and is written back in the program's form.
TEST_F(MainSettingsTest, AFolderOfAnyNameOrAUnixPathIsRestored)
{
    const auto live = m_folder.CreateFolder("Live: 2020");
    const auto why = m_folder.CreateFolder("Why?");
    const auto star = m_folder.CreateFolder("Star*");
    const struct {
        std::string Stored;
        std::string Folder;
    } cases[] = {
        {DriveName(live), DriveName(live)},
        {DriveName(why), DriveName(why)},
        {DriveName(star), DriveName(star)},
        {live.string(), DriveName(live)},
        {m_folder.Path().string() + "//Why?/", DriveName(why)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Stored);
        WriteIni("[FormMain]\nDirectory=" + c.Stored + "\n");
        TFormMain& form = Start();
        EXPECT_EQ(Folder(), c.Folder);
        form.Show();
        form.Close();
        EXPECT_NE(ReadIni().find("Directory=" + c.Folder + "\n"), std::string::npos) << ReadIni();
        form.DirectoryListBox1->SetFolderPath(DriveName(m_folder.Path().parent_path()));
        Application().ReleaseForms();
    }
}

TEST_F(MainSettingsTest, SettingsAreReadAndWrittenInTheirOrder)
{
    testing::FakeProfile profile;
    testing::ScopedHostService<platform::Profile> guard(profile, platform::ReplaceHostProfile);
    TFormMain& form = Start();
    EXPECT_EQ(profile.Calls(), (std::vector<std::string>{"read FormMain/Oben", "read FormMain/Links",
                                                         "read FormMain/Hoehe", "read FormMain/Breite",
                                                         "read FormMain/Status", "read FormMain/Directory"}));
    profile.ClearCalls();
    form.SetBounds(40, 30, 500, 400);
    form.Show();
    form.Close();
    EXPECT_FALSE(form.isVisible());
    const std::string folder = Folder();
    EXPECT_EQ(profile.Calls(),
        (std::vector<std::string> { "write FormMain/Directory=" + folder, "write FormMain/Status=0",
            "write FormMain/Oben=30", "write FormMain/Links=40", "write FormMain/Hoehe=400",
            "write FormMain/Breite=500" }));
}

// The error box says which file could not be written; the window stays
// open, and the next close starts again at the first value.
TEST_F(MainSettingsTest, AFailedWriteKeepsTheWindowOpen)
{
    testing::FakeProfile profile;
    testing::ScopedHostService<platform::Profile> guard(profile, platform::ReplaceHostProfile);
    testing::MessageBoxRecorder boxes;
    TFormMain& form = Start();
    form.Show();
    profile.SetWritable(false);
    profile.ClearCalls();
    form.Close();
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_EQ(boxes.Requests()[0].text, "Kann nicht nach " + m_executable + ".ini schreiben.");
    EXPECT_EQ(profile.Calls().size(), 1u) << "the other values are not tried";

    profile.SetWritable(true);
    profile.ClearCalls();
    form.Close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(profile.Calls().size(), 6u);
    EXPECT_EQ(boxes.Requests().size(), 1u);
}

TEST_F(MainSettingsTest, ARestartRestoresBoundsStateAndFolder)
{
    const auto music = m_folder.CreateFolder("Musik");
    {
        TFormMain& form = Start();
        form.SetBounds(60, 50, 520, 410);
        form.DirectoryListBox1->SetFolderPath(DriveName(music));
        form.Show();
        form.SetWindowState(wsMaximized);
        form.Close();
        Application().ReleaseForms();
    }
    const std::string stored = ReadIni();
    EXPECT_NE(stored.find("Status=2"), std::string::npos) << stored;

    TFormMain& form = Start();
    EXPECT_EQ(form.WindowState(), wsMaximized);
    EXPECT_EQ(Folder(), DriveName(music));
    form.SetWindowState(wsNormal);
    EXPECT_EQ(QRect(form.Left(), form.Top(), form.Width(), form.Height()), QRect(60, 50, 520, 410));

    // A second close writes the values again in place.
    form.Show();
    form.Close();
    form.Show();
    form.Close();
    const std::string rewritten = ReadIni();
    EXPECT_EQ(rewritten.find("Oben="), rewritten.rfind("Oben=")) << rewritten;
    EXPECT_NE(rewritten.find("Status=0"), std::string::npos) << rewritten;
}

// Installed into a folder its user cannot write, the program would else
// refuse every close; its settings go to the user's folder instead and come
// back from there.
TEST_F(MainSettingsTest, AProgramFolderThatCannotBeWrittenKeepsTheSettingsInTheUsersFolder)
{
    testing::FakeSettingsFolders folders;
    testing::ScopedHostService<platform::SettingsFolders> guard(folders, platform::ReplaceHostSettingsFolders);
    folders.ReadOnly.insert(DriveName(m_folder.Path()));
    testing::ScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", (m_folder.Path() / "config").string());
    {
        TFormMain& form = Start();
        form.SetBounds(70, 60, 530, 420);
        form.Show();
        form.Close();
        EXPECT_FALSE(form.isVisible());
        Application().ReleaseForms();
    }
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
    const std::string stored = testing::FileContent(m_folder.Path() / "config" / "quorvane" / "quorvane.ini");
    EXPECT_NE(stored.find("Oben=60"), std::string::npos) << stored;

    TFormMain& form = Start();
    EXPECT_EQ(QRect(form.Left(), form.Top(), form.Width(), form.Height()), QRect(70, 60, 530, 420));
}

// A named pipe, a folder or a file of megabytes under the settings file's
// name gives no settings and takes none: the program starts with its
// defaults without waiting on the pipe, and its close keeps the settings in
// the user's folder instead of failing, leaving the thing in the way alone.
TEST_F(MainSettingsTest, WhatIsNoSettingsFileGivesDefaultsAndTheUsersFolderTakesTheSettings)
{
    testing::ScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", (m_folder.Path() / "config").string());
    const std::filesystem::path stored = m_folder.Path() / "config" / "quorvane" / "quorvane.ini";
    const std::vector<std::function<void()>> blockers = {
        [this] { ASSERT_EQ(::mkfifo(IniPath().c_str(), 0600), 0); },
        [this] { std::filesystem::create_directory(IniPath()); },
        [this] { WriteIni("[FormMain]\nOben=5\n;" + std::string(5 << 20, '-') + "\n"); },
    };
    for (const auto& block : blockers) {
        block();
        const auto kind = std::filesystem::symlink_status(IniPath()).type();
        {
            TFormMain& form = Start();
            EXPECT_EQ(form.Top(), 0);
            form.SetBounds(70, 60, 530, 420);
            form.Show();
            form.Close();
            EXPECT_FALSE(form.isVisible());
            Application().ReleaseForms();
        }
        EXPECT_EQ(std::filesystem::symlink_status(IniPath()).type(), kind);
        EXPECT_NE(testing::FileContent(stored).find("Oben=60"), std::string::npos);
        EXPECT_EQ(Start().Top(), 60);
        Application().ReleaseForms();
        std::filesystem::remove_all(IniPath());
        std::filesystem::remove_all(m_folder.Path() / "config");
    }
}

}  // namespace
}  // namespace quorvane
