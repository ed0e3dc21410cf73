#include "platform/data_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace nms {
namespace {

std::string BaseFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    std::string base;
    if (value && *value) {
        base = value;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : ".") + fallback;
    }
    std::string folder = base + "/velmora";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

}  // namespace

std::string DataFolder() { return BaseFolder("XDG_DATA_HOME", "/.local/share"); }
std::string DataFilePath(const std::string& name) { return DataFolder() + "/" + name; }
std::string ConfigFolder() { return BaseFolder("XDG_CONFIG_HOME", "/.config"); }

}  // namespace nms
