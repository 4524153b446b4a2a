#include "framework/WindowBounds.h"

#include <algorithm>

namespace quorvane {

namespace {

// The caption bar the reachability check expects of a window manager, and
// how much of it must lie on a screen for the user to grab it.
constexpr int kCaptionHeight = 20;
constexpr int kGripWidth = 32;
constexpr int kGripHeight = 10;

}  // namespace

// Until the window manager has framed the window, the outer bounds are the
// ones asked for; reading them back must give those, or the stored bounds
// would creep by the frame at every start.
QRect TWindowBounds::Outer(const TWindowReport& report) const
{
    return report.Normal && m_requested ? *m_requested : report.Outer();
}

void TWindowBounds::Request(const QRect& outer, QSize clientSize, TRequestPriority priority)
{
    m_requested = outer;
    m_requestedClientSize = clientSize;
    m_priority = priority;
    m_attempts = 0;
    m_confirmations = 0;
}

// Once the frame is known, the window takes the outer bounds asked for. The
// window manager may answer with other bounds first (those it remembers
// from before a maximise), and reports a changed frame some time after the
// change of state, so the bounds are checked again on its next reports and
// on a few timer ticks, and applied again until they stand.
TFitStep TWindowBounds::Fit(const TWindowReport& report, TFitOccasion occasion)
{
    const bool tick = occasion == foTick;
    if (!m_requested || Suspended || !report.Visible || !report.Normal) return {};
    const QRect outer = *m_requested;
    // Bounds asked for before the frame was known give way to any sizing
    // since; those of a return to normal state override the window
    // manager's own.
    const bool sizedSince = report.Client.size() != m_requestedClientSize;
    const bool standing = report.Outer() == outer && !report.Frame.isNull();
    if (standing && tick) ++m_confirmations;
    if ((standing && m_confirmations >= kFitConfirmations) || (sizedSince && m_priority == rpYieldToSizing) ||
        m_attempts >= kFitAttempts) {
        // Either the bounds stand, or the user or the window manager will
        // have others: what the window has now stands.
        m_requested.reset();
        return {TFitStep::faSettled, {}};
    }
    if (tick) ++m_attempts;
    if (standing || report.Frame.isNull()) return {TFitStep::faWait, {}};
    m_confirmations = 0;
    return {TFitStep::faPlace, outer.marginsRemoved(report.Frame)};
}

void TWindowBounds::RememberNormal(const TWindowReport& report)
{
    if (report.Normal) m_normalBounds = Outer(report);
}

void TWindowBounds::LeaveNormal(const TWindowReport& report)
{
    if (m_requested) {
        m_normalBounds = *m_requested;
    } else if (!report.Visible || !report.Frame.isNull()) {
        RememberNormal(report);
    }
}

// A geometry in normal state becomes the normal bounds once it has stood for
// a moment, so that the size of a maximise reported just before its state is
// never taken for them.
bool TWindowBounds::AwaitsSettling(const TWindowReport& report) const
{
    return report.Visible && report.Normal && !m_requested;
}

void TWindowBounds::Settle(const TWindowReport& report)
{
    if (report.Visible && !m_requested && !Suspended && !report.Frame.isNull()) RememberNormal(report);
}

bool TWindowBounds::RestoresNormal(const TWindowReport& report, bool leftMaximisedOrMinimised) const
{
    return !Suspended && report.Normal && leftMaximisedOrMinimised && m_normalBounds.isValid();
}

// Bounds read from a hand-edited or damaged settings file may give a window
// of no size, or one whose caption bar lies where no screen is: the user
// could neither see nor grab it, and closing it would store that again.
QRect ReachableBounds(const QRect& outer, bool framed, const std::vector<QRect>& screens,
                      const std::optional<QRect>& primaryArea)
{
    QRect wanted = outer;
    if (framed) {
        wanted.setWidth(std::max(outer.width(), kMinimumOuterWidth));
        wanted.setHeight(std::max(outer.height(), kMinimumOuterHeight));
    } else {
        wanted.setWidth(std::max(outer.width(), 1));
        wanted.setHeight(std::max(outer.height(), 1));
    }
    const QRect caption(wanted.left(), wanted.top(), wanted.width(), std::min(kCaptionHeight, wanted.height()));
    const bool onAScreen = std::any_of(screens.cbegin(), screens.cend(), [&](const QRect& screen) {
        const QRect grip = caption.intersected(screen);
        return grip.width() >= std::min(kGripWidth, caption.width()) &&
               grip.height() >= std::min(kGripHeight, caption.height());
    });
    if (!onAScreen && primaryArea) {
        const QRect& area = *primaryArea;
        wanted.moveLeft(std::max(area.left(), std::min(wanted.left(), area.right() + 1 - wanted.width())));
        wanted.moveTop(std::max(area.top(), std::min(wanted.top(), area.bottom() + 1 - wanted.height())));
    }
    return wanted;
}

}  // namespace quorvane
