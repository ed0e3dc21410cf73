// Where the program keeps its files: the device list and the alarm log in the data folder
// ($XDG_DATA_HOME/velmora), the settings store in the config folder ($XDG_CONFIG_HOME/velmora).
#pragma once

#include <string>

namespace nms {

// The data folder, created when missing. Never ends with a slash.
std::string DataFolder();
// A file in the data folder ("devinfo.db", "alarmlog.txt").
std::string DataFilePath(const std::string& name);
// The config folder, created when missing.
std::string ConfigFolder();

}  // namespace nms
