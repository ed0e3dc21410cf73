#include "pages/ird/ir_key_file.h"

#include <cstdio>

#include "pagebase/text_conversion.h"
#include "pages/ird/ini_file.h"

namespace nms {

const std::array<const char*, kIrKeyCount> kIrKeyNames = {
    "Up", "Down", "Left", "Right", "Ok", "Menu", "Exit", "Vol+", "Vol-", "Main", "Live",
    "0",  "1",    "2",    "3",     "4",  "5",    "6",    "7",    "8",    "9"};

int IrKeyIndex(const std::string& name) {
    for (int i = 0; i < kIrKeyCount; ++i)
        if (name == kIrKeyNames[size_t(i)])
            return i;
    return -1;
}

bool WriteIrKeyFile(const std::string& path, const IrKeyFile& file, std::string* error) {
    CIniFile ini;
    ini.SetFileName(path);
    for (const IrKeyFile::KeyRow& row : file.keyMap)
        ini.SetValue("KeyMap", row.name, row.value);
    ini.SetValue("KeyMap", "PowerOnDelay", std::to_string(file.powerOnDelay.value_or(0)));
    ini.SetValue("KeyMap", "KeyDelay", std::to_string(file.keyDelay.value_or(0)));
    ini.SetValue("KeyMap", "NumDelay", std::to_string(file.numDelay.value_or(0)));
    ini.SetValue("Public", "CMD", file.publicCommand.value_or(std::string()));
    for (const IrKeyFile::StbRow& row : file.stbCommands)
        ini.SetValue("Separate", "STB" + std::to_string(row.stb), row.command);
    if (ini.Save())
        return true;
    if (error)
        *error = ini.LastError();
    return false;
}

bool ReadIrKeyFile(const std::string& path, IrKeyFile* file, std::string* error) {
    *file = IrKeyFile();
    CIniFile ini;
    ini.SetFileName(path);
    if (!ini.Load()) {
        if (error)
            *error = "cannot open " + path;
        return false;
    }
    int status = 0;
    for (int k = 0; k < kIrKeyCount; ++k) {
        const std::string value = ini.Lookup("KeyMap", kIrKeyNames[size_t(k)], &status);
        if (status != 0)
            continue;
        file->keyMap.push_back({kIrKeyNames[size_t(k)], value});
        file->codes[size_t(k)] = HexPrefixToUInt32(value);
    }
    const auto number = [&](const char* key) -> std::optional<int> {
        const std::string value = ini.Lookup("KeyMap", key, &status);
        if (status != 0)
            return std::nullopt;
        return ParseFirstNumber(value);
    };
    file->powerOnDelay = number("PowerOnDelay");
    file->keyDelay = number("KeyDelay");
    file->numDelay = number("NumDelay");
    const std::string command = ini.Lookup("Public", "CMD", &status);
    if (status == 0)
        file->publicCommand = command;
    for (int n = 1; n <= kIrStbCount; ++n) {
        const std::string value = ini.Lookup("Separate", "STB" + std::to_string(n), &status);
        if (status == 0)
            file->stbCommands.push_back({n, value});
    }
    return true;
}

int IrKeyCode(const std::string& name) {
    const int k = IrKeyIndex(name);
    return k < 0 ? 1 : k + 1;
}

std::string IrPublicCodeText(const std::string& command, int keyDelay, int numDelay) {
    std::string text;
    size_t start = 0;
    while (start <= command.size() && !command.empty()) {
        size_t end = command.find(',', start);
        if (end == std::string::npos)
            end = command.size();
        const std::string name = command.substr(start, end - start);
        if (!name.empty()) {
            const int code = IrKeyCode(name);
            const bool digit = name[0] >= '0' && name[0] <= '9';
            int unit = (digit ? numDelay : keyDelay) / 100;
            if (unit < 1)
                unit = 1;
            char pair[8];
            std::snprintf(pair, sizeof pair, "%02x%02x", unsigned(code), unsigned(unit & 0xff));
            text += pair;
        }
        start = end + 1;
    }
    return text;
}

}  // namespace nms
