#include "platform/Platform.h"

namespace {
Platform g_platform;
}

Platform& GetPlatform() { return g_platform; }

void SetPlatform(const Platform& platform) { g_platform = platform; }
