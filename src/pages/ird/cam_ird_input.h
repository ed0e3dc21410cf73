// The tuner input record of the CI/CAM receivers and decoders (45 bytes) and the source block of the
// one-channel receiver (the record, an IP-input block and a trailer): their fields, the form each tuner
// kind shows, and the per-channel read and write requests of the four-channel pages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/block_logic.h"

namespace nms {

enum : uint8_t {
    kCmdCamReadInput = 0x70,
    kCmdCamWriteInput = 0x71,
    kCmdCamStatus = 0x72,
};

constexpr int kCamInputSize = 45;
constexpr int kCamIpBlockSize = 144;
constexpr int kCamSourceSize = kCamInputSize + kCamIpBlockSize + 2;  // 191
constexpr int kCamIpBlockOffset = kCamInputSize;
constexpr int kCamChannels = 4;

// The form of one tuner input.
enum class CamInputForm { kSatellite, kCable, kTerrestrial, kFrequencyOnly };

// The four-channel pages' module type: 1 cable, 2 terrestrial, 3 frequency only, else satellite.
CamInputForm CamFormOfModuleType(int moduleType);
// The one-channel page's input type (1 satellite, 2 cable, 4 terrestrial) with record byte 17 (a DTMB tuner
// in its low four bits, 3, shows the frequency alone). False for a type without a form.
bool CamFormOfInputType(int inputType, uint8_t kindByte, CamInputForm* form);

// Field keys of the record: "freq", "lnb", "symbol", "polarization", "tone", "diseqc", "qam", "standard",
// "bandwidth", "eit", "tdt"; the one-channel labels of the constellation and standard lists are "qam1" and
// "standard1". The source block adds "ip", "port" and "multicast".
const FieldTable& CamIrdInputTable();
const FieldTable& CamIrdSourceTable();
// The 22 kHz byte is kept as 0 or 1: where the form shows the tone, it goes back as the list's selection,
// also untouched (a device's 7 shows "Open" and is written as 1). Call after the form was collected.
void StoreToneAsShown(const FieldTable& table, const FormInputs& inputs, ParamBlock& block);
// The keys a form shows, in layout order (the four-channel or the one-channel labels).
std::vector<std::string> CamFormKeys(CamInputForm form, bool oneChannel);

// The four-channel read and write: 0x70 with {0, channel}, 0x71 with {0, channel, record, bitrate}.
std::vector<uint8_t> CamReadInputRequest(int channel);
std::vector<uint8_t> CamWriteInputRequest(int channel, const std::vector<uint8_t>& record, uint32_t bitrate);
// A 0x70 reply of the four-channel pages: module type, channel index, record, and the output bitrate when
// the payload holds it. False when it is too short for the record or names no channel 0..3.
struct CamInputReply {
    int moduleType = 0;
    int channel = 0;
    std::vector<uint8_t> record;
    bool hasBitrate = false;
    uint32_t bitrate = 0;
};
bool ParseCamInputReply(const ReplyView& reply, CamInputReply* out);

}  // namespace nms
