// The remote controller's key files (*.ir, INI text): the key map with its infrared codes, the three
// delays, the public key sequence and each set-top box's own sequence.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nms {

// The key names in code order (key code k is kIrKeyNames[k]).
constexpr int kIrKeyCount = 21;
extern const std::array<const char*, kIrKeyCount> kIrKeyNames;
// The index of a key name, or -1.
int IrKeyIndex(const std::string& name);

constexpr int kIrStbCount = 64;

struct IrKeyFile {
    struct KeyRow {
        std::string name;
        std::string value;  // the infrared code as typed (six hexadecimal digits)
    };
    struct StbRow {
        int stb = 0;  // 1..64
        std::string command;
    };
    std::vector<KeyRow> keyMap;
    std::optional<int> powerOnDelay, keyDelay, numDelay;
    std::optional<std::string> publicCommand;
    std::vector<StbRow> stbCommands;
    // The infrared code of every key in code order (0 for a key without a row).
    std::array<uint32_t, kIrKeyCount> codes{};

    // True when the file gave no entry of a key file at all (not a key file: noise, a binary file).
    bool Empty() const {
        return keyMap.empty() && !powerOnDelay && !keyDelay && !numDelay && !publicCommand &&
               stbCommands.empty();
    }
};

// Writes the file from these values alone (a deleted row leaves no entry behind), in one save through a
// temporary file. False with the reason in error when it cannot be written.
bool WriteIrKeyFile(const std::string& path, const IrKeyFile& file, std::string* error);
// Reads a file (loaded once); false with the reason in error when it cannot be opened. Missing entries
// stay empty.
bool ReadIrKeyFile(const std::string& path, IrKeyFile* file, std::string* error);

// The key code (1..21) of a key name; any other name gives 1, the code of "Up".
int IrKeyCode(const std::string& name);

// The public code text of a sequence of key names joined by ",": per key two hex digits of its key code
// and two of its delay unit (the number-key delay for names starting with a digit, else the key delay, in
// units of 100 ms, at least 1).
std::string IrPublicCodeText(const std::string& command, int keyDelay, int numDelay);

}  // namespace nms
