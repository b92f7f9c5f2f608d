// Stores the window's current configuration in the settings file: every key, targets last with
// Item_Number after them. User-interface thread only.
#pragma once

#include <filesystem>

#include "settings/settings_subject.h"

namespace tarvelin {

// The file is replaced in one step: it ends up holding either all the new values or, when the save
// fails (false), exactly what it held before. Lines and keys of the file that the save does not write
// are kept, including Item_ keys of earlier saves beyond the current number of targets.
bool SaveSettings(const std::filesystem::path& file, const SettingsSubject& window);

}  // namespace tarvelin
