#include "platform/Profile.h"

#include "platform/HostSlot.h"

namespace quorvane::platform {

namespace {
HostSlot<Profile> g_profile;
}

Profile& HostProfile() { return g_profile.Get(NativeProfile()); }
Profile* ReplaceHostProfile(Profile* replacement) { return g_profile.Replace(replacement); }

}  // namespace quorvane::platform
