#pragma once

namespace quorvane {

// A widget that holds a mouse mode (a grid's drag, a held spin arrow) takes
// the capture while the button is down. Before the application shows an
// error box it cancels that mode, so no drag or auto-repeat runs on behind
// the box.
class TMouseCaptureHolder {
public:
    virtual ~TMouseCaptureHolder();

    // Ends the drag or repeat as if the button had been released elsewhere.
    virtual void CancelMode() = 0;
};

// Takes the capture for `holder` (nullptr: nobody holds it).
void SetMouseCapture(TMouseCaptureHolder* holder);

// Gives the capture up, but only when `holder` has it.
void ReleaseMouseCapture(TMouseCaptureHolder* holder);

TMouseCaptureHolder* MouseCapture();

// Tells the holder, if any, to cancel its mode and forgets it.
void CancelMouseCapture();

}  // namespace quorvane
