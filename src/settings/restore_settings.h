// Brings back at start what SaveSettings stored: geometry, running or paused, display options, font,
// colours and targets, applied to the window one key at a time. User-interface thread only.
#pragma once

#include <filesystem>

#include "settings/settings_subject.h"

namespace tarvelin {

// Does nothing when no file exists at the path. The file is read once; each value is applied before
// the next key is looked at, in the order the window expects (options before targets, Hot before Hand).
void RestoreSettings(const std::filesystem::path& file, SettingsSubject& window);

}  // namespace tarvelin
