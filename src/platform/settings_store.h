// The program's settings store: the former registry key Software\velmora, kept as an INI file
// ($XDG_CONFIG_HOME/velmora/velmora.conf) that only its owner can read (mode 0600).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace nms {

std::string SettingsFilePath();

// Reads one value; false when the file or the value is missing.
bool ReadSetting(const std::string& name, std::string* value);

// Stores several values in one write of the whole file, so either all of them change or none.
// False when the file could not be written (the old file is then left as it was).
bool WriteSettings(const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace nms
