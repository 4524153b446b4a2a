#pragma once

namespace quorvane {

// The system's default beep, for refused keys and read-only controls.
void Beep();

// Tests count beeps instead of hearing them.
int BeepCount();

}  // namespace quorvane
