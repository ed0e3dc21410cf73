// The texts shown for an element's stream_type in program trees, program dialogs and the transcode dialog.
#pragma once

#include <cstdint>
#include <string>

namespace nms {

// How the trees name stream types that have no label of their own.
enum class TreeLabelStyle {
    kInputChannel,  // "User Define Data"
    kMultiOutput,   // "User Define:%X" (multi-output and IP multiplexer pages)
};

// How the program dialog names 0x1B.
enum class DialogLabelStyle {
    kMultiplexer,  // "MPEG-4/H.264 Video"
    kShortH264,    // "H.264 Video" (encoder ASI page, CAM multiplexer)
};

struct StreamTypeLabels {
    static std::string Tree(uint8_t streamType, TreeLabelStyle style = TreeLabelStyle::kInputChannel);
    static std::string Dialog(uint8_t streamType, DialogLabelStyle style = DialogLabelStyle::kMultiplexer);
    static std::string Transcode(uint8_t streamType);

    // "%02X %s": an element's entry in the program dialogs.
    static std::string DialogEntry(uint8_t streamType,
                                   DialogLabelStyle style = DialogLabelStyle::kMultiplexer);
    // "%d:%02X %s": element index from 0, stream type, transcode label.
    static std::string TranscodeEntry(int index, uint8_t streamType);
};

}  // namespace nms
