// The text of one accelerator entry as menus show it: modifiers, then the key's name or character.
#pragma once

#include <QString>
#include <cstdint>

namespace nms {

class CAccelText {
public:
    // Flags byte of an accelerator entry, with the values the program has always used.
    enum : uint8_t { FVIRTKEY = 0x01, FSHIFT = 0x04, FCONTROL = 0x08, FALT = 0x10 };

    CAccelText(uint8_t flags, uint16_t key) : m_flags(flags), m_key(key) {}

    QString GetText() const;
    // Name of a virtual key code on this platform ("F5", "Del", "Num 3"); empty for an unknown code.
    static QString KeyName(uint16_t virtualKey);

    uint8_t m_flags;
    uint16_t m_key;  // virtual key code with FVIRTKEY, else a character
};

}  // namespace nms
