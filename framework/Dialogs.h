#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QMessageBox;

namespace quorvane {

// The icon of a message box: the exclamation mark, the stop sign or the "i".
enum TMsgDlgType { mtWarning, mtError, mtInformation };

// One message box as the program asks for it. Texts are narrow text.
struct TMessageBoxRequest {
    std::string caption;
    std::string text;
    TMsgDlgType type = mtInformation;
    std::vector<std::string> buttons;

    bool operator==(const TMessageBoxRequest&) const = default;
};

// Every message box of the program passes through here, so that tests can
// answer them instead of a user and no test ever waits on a modal window.
class TMessageBoxSeam {
public:
    virtual ~TMessageBoxSeam();

    // Shows the box until it is dismissed; returns the index of the chosen
    // button, or -1 when the box was closed without choosing one.
    virtual int Show(const TMessageBoxRequest& request) = 0;
};

// Shows a box through the seam in place (the real one by default).
int ShowMessageBox(const TMessageBoxRequest& request);

// Tests put their own seam in place; nullptr restores the real one. Returns
// the previous replacement (nullptr when there was none).
TMessageBoxSeam* ReplaceMessageBoxSeam(TMessageBoxSeam* replacement);

// The program's standard message dialog: the caption of its kind
// ("Warnung", "Fehler", "Information"), its icon and one "OK" button,
// centred on the screen. Blocks until the user dismisses it.
void MessageDlg(std::string_view text, TMsgDlgType type);

// The box the real seam shows for `request`: application-modal, centred on
// the screen when it appears. Exposed so its make-up can be checked without
// running it.
std::unique_ptr<QMessageBox> BuildMessageBox(const TMessageBoxRequest& request);

}  // namespace quorvane
