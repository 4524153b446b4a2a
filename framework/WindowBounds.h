#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

namespace quorvane {

// What the window manager shows of a window at one moment.
struct TWindowReport {
    bool Visible = false;
    // In normal state: neither maximised nor minimised.
    bool Normal = true;
    // The client area in screen coordinates.
    QRect Client;
    // The frame around it; null until the window manager has framed the window.
    QMargins Frame;

    QRect Outer() const { return Client.marginsAdded(Frame); }
};

// Who has the last word on a window's size while bounds asked for are still
// on their way: a sizing by the user or the window manager since, or the
// bounds asked for (those of a return to normal state).
enum TRequestPriority { rpYieldToSizing, rpOverrideSizing };

// What makes a window look at its bounds again: a report of the window
// manager (a move, a resize, a change of state, the window shown), or a tick
// of the retry timer, which also counts the attempts and confirmations.
enum TFitOccasion { foReport, foTick };

// What a window does next about the outer bounds asked for.
struct TFitStep {
    enum TAction {
        // Nothing: no bounds are on their way, or the window cannot take them now.
        faIdle,
        // The bounds stand, or have given way: the retries end.
        faSettled,
        // Look again at the window manager's next report or retry tick.
        faWait,
        // Put the client area at Client, then look again.
        faPlace,
    };
    TAction Action = faIdle;
    QRect Client;
};

// The negotiation of a window's bounds and state with the window manager,
// apart from the window itself. A window manager frames a window some round
// trips after it is shown, answers a return from maximised with bounds it
// remembers from before, and reports a maximised size before the state. The
// window tells this class what the window manager reports; the class says
// where the window goes, when bounds asked for have settled, and which
// bounds are the window's normal ones. The window runs the timers that the
// answers ask for.
class TWindowBounds {
public:
    // The window manager is asked again at this interval, for this many ticks
    // at most; bounds stand once they are seen on this many ticks in a row.
    static constexpr int kFitInterval = 50;
    static constexpr int kFitAttempts = 40;
    static constexpr int kFitConfirmations = 3;
    // How long a geometry must stand before it counts as the normal bounds.
    static constexpr int kSettleDelay = 150;

    // The outer bounds as the program sees them: those asked for while they
    // are on their way in normal state, else what the window manager reports.
    QRect Outer(const TWindowReport& report) const;
    bool Pending() const { return m_requested.has_value(); }

    // Asks for outer bounds that the window manager has not given yet;
    // `clientSize` is the client size the window has now.
    void Request(const QRect& outer, QSize clientSize, TRequestPriority priority);
    // Forgets the bounds asked for: the program set bounds the window has
    // right away.
    void Drop() { m_requested.reset(); }
    // One look at the window on `occasion`.
    TFitStep Fit(const TWindowReport& report, TFitOccasion occasion);
    // The window placed its client area as Fit asked and now has this size.
    void Placed(QSize clientSize) { m_requestedClientSize = clientSize; }

    // While the program changes the window's state itself, the window passes
    // through sizes of nobody's choosing: they are neither fitted nor settled.
    bool Suspended = false;

    // The outer bounds the window last had in normal state.
    QRect NormalBounds() const { return m_normalBounds; }
    // Takes the bounds of this moment as the normal ones, in normal state.
    void RememberNormal(const TWindowReport& report);
    // The program takes the window out of normal state: the bounds of this
    // moment are the normal ones, unless the window is still on its way to
    // bounds asked for, or shown without a frame yet.
    void LeaveNormal(const TWindowReport& report);
    // Whether a change the window manager reported is to stand for a moment
    // before it counts as the normal bounds (the settle timer starts).
    bool AwaitsSettling(const TWindowReport& report) const;
    // The settle timer ran out: the geometry of now is the normal one.
    void Settle(const TWindowReport& report);
    // The window came back to normal state through the window manager,
    // which restores bounds of its own making (from a time it did not know
    // the frame, for one): whether the window is to ask for its normal bounds.
    bool RestoresNormal(const TWindowReport& report, bool leftMaximisedOrMinimised) const;

private:
    std::optional<QRect> m_requested;
    QSize m_requestedClientSize;
    TRequestPriority m_priority = rpYieldToSizing;
    int m_attempts = 0;
    int m_confirmations = 0;
    QRect m_normalBounds;
};

// The least outer size of a framed window: its caption bar and system buttons.
constexpr int kMinimumOuterWidth = 136;
constexpr int kMinimumOuterHeight = 39;

// The outer bounds that make a window reachable: at least the size of its
// caption bar and system buttons (one pixel for a window without a frame),
// and moved wholly into `primaryArea`, as far as it fits, when its caption
// bar lies on none of `screens`. Bounds that already give a reachable window
// come back unchanged.
QRect ReachableBounds(const QRect& outer, bool framed, const std::vector<QRect>& screens,
                      const std::optional<QRect>& primaryArea);

}  // namespace quorvane
