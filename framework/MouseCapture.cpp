#include "framework/MouseCapture.h"

namespace quorvane {

namespace {
TMouseCaptureHolder* g_holder = nullptr;
}

TMouseCaptureHolder::~TMouseCaptureHolder()
{
    // A widget destroyed mid-drag must not be called afterwards.
    ReleaseMouseCapture(this);
}

void SetMouseCapture(TMouseCaptureHolder* holder) { g_holder = holder; }

void ReleaseMouseCapture(TMouseCaptureHolder* holder)
{
    if (g_holder == holder) g_holder = nullptr;
}

TMouseCaptureHolder* MouseCapture() { return g_holder; }

void CancelMouseCapture()
{
    TMouseCaptureHolder* holder = g_holder;
    g_holder = nullptr;
    if (holder != nullptr) holder->CancelMode();
}

}  // namespace quorvane
