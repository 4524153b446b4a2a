#include "platform/Registry.h"

#include "platform/HostSlot.h"

namespace quorvane::platform {

namespace {
HostSlot<Registry> g_registry;
}

Registry& HostRegistry() { return g_registry.Get(NativeRegistry()); }
Registry* ReplaceHostRegistry(Registry* replacement) { return g_registry.Replace(replacement); }

}  // namespace quorvane::platform
