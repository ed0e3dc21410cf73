#include "pages/psi/psi_serializer.h"

#include "devices/device_packet.h"
#include "pages/psi/psi_hex.h"

namespace nms {
namespace {

struct PackState {
    uint8_t* buffer;
    int capacity;
    int pos = 0;
    int bitOffset = 0;
    bool overflow = false;
    bool done = false;
};

// Every write goes through here, so a damaged tree can never write past the buffer.
bool Room(PackState& s, int bytes) {
    if (s.pos + bytes > s.capacity) {
        s.overflow = true;
        return false;
    }
    return true;
}

uint8_t TopMask(int bits) {
    return static_cast<uint8_t>(0xFF00 >> bits);
}

void PackWide(PackState& s, std::string value, uint32_t data) {
    int width = data & kFieldWidthMask;
    int bytes = width / 8;
    int rest = width % 8;
    size_t digits = 2 * (bytes + (rest ? 1 : 0));
    if (value.size() < digits) {
        if (data & FIELD_LEFT_ALIGNED) {
            value.append(digits - value.size(), '0');
        } else {
            value.insert(0, digits - value.size(), '0');
        }
    }
    int n = static_cast<int>(digits / 2);
    if (!Room(s, n))
        return;
    uint8_t last = 0;
    for (int i = 0; i < n; ++i) {
        uint8_t w = psihex::PairToByte(value[2 * i], value[2 * i + 1]);
        if (i == 0) {
            s.buffer[s.pos] = (s.buffer[s.pos] & TopMask(s.bitOffset)) | (w & (0xFF >> s.bitOffset));
        } else {
            s.buffer[s.pos + i] = w;
        }
        last = w;
    }
    s.pos += n;
    if (rest != 0 && s.bitOffset + rest != 8) {
        s.pos -= 1;
        int c = (s.bitOffset + rest) % 8;
        uint8_t top = (data & FIELD_LEFT_ALIGNED) ? last : static_cast<uint8_t>(last << (8 - c));
        s.buffer[s.pos] = (top & TopMask(c)) | (s.buffer[s.pos] & (0xFF >> c));
        s.bitOffset = c;
    } else {
        s.bitOffset = (s.bitOffset + rest) % 8;
    }
}

void PackNarrow(PackState& s, std::string value, int rest) {
    if (value.size() < 2)
        value.insert(0, 2 - value.size(), '0');
    if (!Room(s, s.bitOffset + rest > 7 ? 2 : 1))
        return;
    uint8_t v = static_cast<uint8_t>(psihex::PairToByte(value[0], value[1]) << (8 - rest));
    s.buffer[s.pos] = (s.buffer[s.pos] & TopMask(s.bitOffset)) | (v >> s.bitOffset);
    if (s.bitOffset + rest > 7) {
        s.pos += 1;
        s.buffer[s.pos] = static_cast<uint8_t>(v << (8 - s.bitOffset));
    }
    s.bitOffset = (s.bitOffset + rest) % 8;
}

void PackChildren(PackState& s, const PsiItem* parent) {
    for (const auto& owned : parent->children) {
        if (s.done || s.overflow)
            return;
        const PsiItem* child = owned.get();
        const std::string& text = child->text;
        if (IsFieldText(text)) {
            std::string value = FieldValue(text);
            uint32_t data = child->data;
            if (!(data & FIELD_RAW_TEXT)) {
                size_t first = value.find_first_not_of(' ');
                value.erase(0, first == std::string::npos ? value.size() : first);
            }
            if (StartsWith(text, "crc_32")) {
                if (Room(s, 4)) {
                    s.pos = AppendCrc32(s.buffer, s.pos);
                    s.bitOffset = 0;
                }
                s.done = true;
                return;
            }
            int width = data & kFieldWidthMask;
            if (data & FIELD_RAW_TEXT) {
                // Names sit on byte boundaries; a value shorter than its width is padded with zeros.
                int bytes = width / 8;
                if (Room(s, bytes)) {
                    for (int i = 0; i < bytes; ++i) {
                        s.buffer[s.pos + i] = i < static_cast<int>(value.size()) ? value[i] : 0;
                    }
                    s.pos += bytes;
                }
            } else {
                if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'))
                    value.erase(0, 2);
                if (width >= 8) {
                    PackWide(s, value, data);
                } else if (width > 0) {
                    PackNarrow(s, value, width);
                }
            }
        }
        PackChildren(s, child);
    }
}

}  // namespace

int SerializeTree(const PsiItem* parent, uint8_t* buffer, int capacity) {
    if (!parent)
        return 0;
    PackState s{buffer, capacity};
    PackChildren(s, parent);
    if (s.overflow)
        return -1;
    return s.pos;
}

}  // namespace nms
