#include "pages/mux/stream_type_labels.h"

#include <cstdio>

namespace nms {
namespace {

// Labels shared by every set; nullptr for a type without a common label.
const char* CommonLabel(uint8_t type) {
    switch (type) {
        case 0x05:
            return "Private Section";
        case 0x06:
            return "A52 Audio(aka AC3)";
        case 0x81:
            return "AC3 Audio";
        default:
            return nullptr;
    }
}

const char* DialogVideoAudio(uint8_t type) {
    switch (type) {
        case 0x01:
            return "MPEG-1 Video";
        case 0x02:
            return "MPEG-2 Video";
        case 0x03:
            return "MPEG-1 Audio";
        case 0x04:
            return "MPEG-2 Audio";
        default:
            return nullptr;
    }
}

}  // namespace

std::string StreamTypeLabels::Tree(uint8_t type, TreeLabelStyle style) {
    switch (type) {
        case 0x01:
            return "Mpeg1 Video";
        case 0x02:
            return "Mpeg2 Video";
        case 0x03:
            return "Mpeg1 Audio";
        case 0x04:
            return "Mpeg2 Audio";
        case 0x0F:
            return "HE-AAC Audio";
        case 0x1B:
            return "MPEG-4/H.264 Video";
        default:
            break;
    }
    if (const char* common = CommonLabel(type))
        return common;
    if (style == TreeLabelStyle::kInputChannel)
        return "User Define Data";
    char buf[32];
    std::snprintf(buf, sizeof buf, "User Define:%X", type);
    return buf;
}

std::string StreamTypeLabels::Dialog(uint8_t type, DialogLabelStyle style) {
    if (const char* label = DialogVideoAudio(type))
        return label;
    if (const char* common = CommonLabel(type))
        return common;
    if (type == 0x0F)
        return "HE-AAC Audio";
    if (type == 0x1B)
        return style == DialogLabelStyle::kShortH264 ? "H.264 Video" : "MPEG-4/H.264 Video";
    return "User Define Data";
}

std::string StreamTypeLabels::Transcode(uint8_t type) {
    if (const char* label = DialogVideoAudio(type))
        return label;
    if (const char* common = CommonLabel(type))
        return common;
    switch (type) {
        case 0x0F:
            return "AAC Audio";
        case 0x1B:
            return "H.264 Video";
        case 0x84:
            return "AC3+ Audio";
        default:
            return "User Define Data";
    }
}

std::string StreamTypeLabels::DialogEntry(uint8_t type, DialogLabelStyle style) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02X %s", type, Dialog(type, style).c_str());
    return buf;
}

std::string StreamTypeLabels::TranscodeEntry(int index, uint8_t type) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d:%02X %s", index, type, Transcode(type).c_str());
    return buf;
}

}  // namespace nms
