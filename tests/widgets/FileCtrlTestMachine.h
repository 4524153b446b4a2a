#pragma once

#include "platform/FileSystem.h"
#include "platform/Volumes.h"
#include "platform/posix/DriveNameSpace.h"
#include "tests/support/FakeVolumes.h"
#include "tests/support/HostOverride.h"
#include "tests/support/TempFolder.h"

#include <string>

namespace quorvane::testing {

// Drives on real temporary folders for the folder and drive lists: D: with
// folders to browse, F: with one more, E: whose volume has gone (not ready),
// and Z: the system's root, described to the lists by a fake volume service.
// The current folder starts at D:\ and is put back afterwards.
class TFileCtrlMachine {
public:
    TFileCtrlMachine() : m_volumesGuard(m_volumes, platform::ReplaceHostVolumes)
    {
        for (const char* folder : {"Alpha", "beta", "Gamma", ".hidden", "Daten/Musik/live", "Daten/Musik/Demo",
                                   "Daten/Musik/.versteckt", "Daten/M/x"}) {
            m_d.CreateFolder(folder);
        }
        m_d.CreateFile("readme.txt");
        m_d.CreateFile("Daten/Musik/lied.mp3");
        m_f.CreateFolder("Musik");
        platform::posix::RebuildDrives(
            {{'D', m_d.Path().string()}, {'E', (m_e.Path() / "gone").string()}, {'F', m_f.Path().string()}});
        m_volumes.SetDrive('d', FakeDrive(platform::kDriveFixed, "Daten"));
        TFakeDrive noDisc = FakeDrive(platform::kDriveCdRom);
        noDisc.Readable = false;
        m_volumes.SetDrive('e', noDisc);
        m_volumes.SetDrive('f', FakeDrive(platform::kDriveRemovable));
        m_volumes.SetDrive('z', FakeDrive(platform::kDriveFixed, "System"));
        platform::HostFileSystem().SetCurrentDirectory("D:\\");
    }

    ~TFileCtrlMachine()
    {
        platform::posix::RebuildDrives();
        platform::HostFileSystem().SetCurrentDirectory(m_saved);
    }

    TFileCtrlMachine(const TFileCtrlMachine&) = delete;
    TFileCtrlMachine& operator=(const TFileCtrlMachine&) = delete;

    FakeVolumes& Volumes() { return m_volumes; }
    const TempFolder& DriveD() const { return m_d; }

    static std::string CurrentDirectory() { return platform::HostFileSystem().GetCurrentDirectory(); }

private:
    std::string m_saved = platform::HostFileSystem().GetCurrentDirectory();
    TempFolder m_d;
    TempFolder m_e;
    TempFolder m_f;
    FakeVolumes m_volumes;
    ScopedHostService<platform::Volumes> m_volumesGuard;
};

}  // namespace quorvane::testing
