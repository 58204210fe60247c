#pragma once

namespace kestrel {

// Process-wide switches read from the settings at start-up.
// Distorted text is drawn anti-aliased (setting "AntiAliasDistortionText", default on).
bool AntiAliasDistortionText();
void SetAntiAliasDistortionText(bool on);

}  // namespace kestrel
