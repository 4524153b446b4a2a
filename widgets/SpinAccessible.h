#pragma once

namespace quorvane {

class TSpinEdit;

// What a spin box tells screen readers: a spin button with its number, its
// bounds and the two steps the arrows make.
namespace spinaccess {

// Makes Qt build the interface for spin boxes; done once.
void Install();

// The number in the field changed, however it was changed.
void ValueChanged(TSpinEdit& spin);

}  // namespace spinaccess

}  // namespace quorvane
