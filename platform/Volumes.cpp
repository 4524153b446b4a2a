#include "platform/Volumes.h"

#include "platform/HostSlot.h"

namespace quorvane::platform {

namespace {
HostSlot<Volumes> g_volumes;
}

Volumes& HostVolumes() { return g_volumes.Get(NativeVolumes()); }
Volumes* ReplaceHostVolumes(Volumes* replacement) { return g_volumes.Replace(replacement); }

}  // namespace quorvane::platform
