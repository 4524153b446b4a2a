#pragma once

namespace quorvane {

class TFormMain;
class TNormalAboutBox;

// Names that screen readers speak for controls whose look says what they
// are only to the eye: an edit field by the label before it, a list or a
// grid by what it holds, a picture button by its hint. Nothing on the
// screen changes. Each window calls this once its controls exist.
void NameForScreenReaders(TFormMain& form);
void NameForScreenReaders(TNormalAboutBox& box);

}  // namespace quorvane
