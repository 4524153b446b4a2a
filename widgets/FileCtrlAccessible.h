#pragma once

namespace quorvane {

class TDriveComboBox;

// What the drive list tells screen readers. On Linux Qt names a drop-down
// list by the entry it shows, so a list without a label beside it would be
// heard as "c: [system]" twice; the drive list is named by its purpose and
// gives the chosen entry as its value.
namespace filectrlaccess {

// Makes Qt build the drive list's interface, and builds it anew for a list
// whose interface was asked for while it was still being built.
void Publish(TDriveComboBox& list);

}  // namespace filectrlaccess

}  // namespace quorvane
