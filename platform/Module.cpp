#include "platform/Module.h"

#include <utility>

namespace quorvane::platform {

namespace {
std::string g_replacement;
}

std::string ModuleFileName() { return g_replacement.empty() ? NativeModuleFileName() : g_replacement; }

std::string ReplaceModuleFileName(std::string replacement)
{
    return std::exchange(g_replacement, std::move(replacement));
}

}  // namespace quorvane::platform
