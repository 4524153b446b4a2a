#pragma once

namespace quorvane {

// The kinds that windows share with the controls inside them. They live apart
// from the window class so that a panel or a button can name a border style
// or a modal result without knowing windows.

// Stored in the settings as 0, 1 and 2.
enum TWindowState { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

enum TPosition { poDesigned, poScreenCenter };

enum TFormStyle { fsNormal, fsStayOnTop };

// Windows: no frame at all, a frame of fixed size, or a frame the user can
// drag. Panels: no border or a sunken single border.
enum TBorderStyle { bsNone, bsSingle, bsSizeable };

// How a modal window was ended; buttons carry the value they end it with.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

}  // namespace quorvane
