#include "platform/TextCase.h"

#include "platform/HostSlot.h"

namespace quorvane::platform {

namespace {
HostSlot<const TextCase> g_textCase;
}

const TextCase& HostTextCase() { return g_textCase.Get(NativeTextCase()); }
const TextCase* ReplaceHostTextCase(const TextCase* replacement) { return g_textCase.Replace(replacement); }

}  // namespace quorvane::platform
