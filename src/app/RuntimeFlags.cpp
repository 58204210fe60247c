#include "app/RuntimeFlags.h"

namespace kestrel {

namespace {
bool antiAliasDistortionText = true;
}

bool AntiAliasDistortionText()
{
    return antiAliasDistortionText;
}

void SetAntiAliasDistortionText(bool on)
{
    antiAliasDistortionText = on;
}

}  // namespace kestrel
