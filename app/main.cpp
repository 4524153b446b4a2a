#include "app/Application.h"
#include "ui/Main.h"
#include "ui/NAbout.h"

namespace {

constexpr const char* kApplicationTitle = "Quorvane V1.24";

}  // namespace

// The program takes no options: whatever stands on the command line is left
// unread, Qt's own options included, so it starts the same way every time.
int main(int, char** argv)
{
    int argumentCount = 1;
    char* arguments[] = {argv[0], nullptr};
    quorvane::TApplication application(argumentCount, arguments);
    application.SetTitle(kApplicationTitle);
    // The id of the installed menu entry and icon (dist/): desktops that know
    // a window only by it (Wayland) find the program's name and icon there.
    quorvane::TApplication::setDesktopFileName("org.example.quorvane");
    application.CreateForm(quorvane::FormMain);
    // Created hidden with its opening timer running: it shows itself as the
    // splash shortly after the main window appears.
    application.CreateForm(quorvane::NormalAboutBox);
    return application.Run();
}
