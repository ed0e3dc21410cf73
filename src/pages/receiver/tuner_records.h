// The tuner channel records of the receivers and gateways: a 13-byte head (LNB frequency, frequency,
// symbol rate, three selector bytes) at the start of every record, the records' sizes, the selector lists,
// the way one grid row shows and takes a record's head, and the IP/MAC block of the DVB-S/S2 input page.
// Plain logic: the pages lay out the controls.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace nms {

// The tuner input pages read their records with 0x70 and write them with 0x71.
constexpr uint8_t kCmdTunerRead = 0x70;
constexpr uint8_t kCmdTunerWrite = 0x71;

constexpr int kTunerHeadSize = 13;           // TunerChannelHead
constexpr int kTunerChannelParamsSize = 75;  // TunerChannelParams
constexpr int kDvbsChannelParamsSize = 29;   // DvbsChannelParams
constexpr int kDvbsIpBlockSize = 96;         // DvbsIpBlock
constexpr uint8_t kDvbsIpMarker = 0xA0;
constexpr int kDvbsDisableOffset = 17;

constexpr const char* kFrequencyOverMaximumText = "Frequency error,over maximum!";
constexpr const char* kSymbolOverMaximumText = "Symbol rate error,over maximum!";

// Selector lists; a record byte is the index of its entry.
extern const std::vector<std::string> kPolarizationList;
extern const std::vector<std::string> kTunerConstellationList;  // the tuner page's spelling
extern const std::vector<std::string> kDvbsConstellationList;   // the DVB-S/S2 page's spelling
extern const std::vector<std::string> kModulationModeList;
extern const std::vector<std::string> kToneList;  // 22 kHz
extern const std::vector<std::string> kBandwidthList;
extern const std::vector<std::string> kDiseqcList;
extern const std::vector<std::string> kDisableList;

// The six head fields of a record.
struct TunerChannelHead {
    uint32_t lnb = 0;
    uint32_t frequency = 0;
    uint16_t symbolRate = 0;
    uint8_t first = 0;   // polarization / constellation / modulation mode
    uint8_t second = 0;  // 22 kHz / bandwidth
    uint8_t diseqc = 0;
};
// record must hold at least the head; false (nothing read or written) otherwise.
bool ReadTunerHead(const std::vector<uint8_t>& image, size_t at, TunerChannelHead* head);
bool WriteTunerHead(std::vector<uint8_t>& image, size_t at, const TunerChannelHead& head);
// LNB frequency, frequency or symbol rate 0: the record may not be written.
bool IsEmptyTunerRecord(const std::vector<uint8_t>& image, size_t at);

// "%d.%03d" of thousandths (12605000 kHz shows 12605.000, 27500 ksym/s 27.500).
std::string FormatThousandthsText(uint32_t value);
// Typed MHz or Msym/s to thousandths: a.bcd gives a * 1000 + bcd (fraction cut or padded to three
// digits). False when the part before the point is longer than 5 characters or the value is above max.
bool ParseTunerThousandths(const std::string& text, uint32_t max, uint32_t* value);

// One grid row as the form holds it: three texts and four selections (-1: no selection).
struct TunerRowInputs {
    std::string frequency, lnb, symbol;
    std::array<int, 4> selection{-1, -1, -1, -1};  // first, second, DiSEqC, "Disable"
};
// The row that shows the record at image[at]; the "Disable" selection is taken from byte 17 when the
// record has one (DVB-S/S2 records).
TunerRowInputs ShowTunerRow(const std::vector<uint8_t>& image, size_t at, bool hasDisable);
// Takes the row into the record: the three numbers (refused with their message, nothing of the row
// written, when they do not fit) and the selections; a selector with no selection leaves its byte as it
// was received. takeDisable: the "Disable" selection goes to byte 17. Returns the message, empty on success.
std::string TakeTunerRow(const TunerRowInputs& row, std::vector<uint8_t>& image, size_t at, bool takeDisable);
// The DVB-S/S2 input page's take: a number text with more than 5 integer characters adds "Frequency
// error,over maximum!" to *overMaximum (once per such field) and is taken as 0, which the empty-record
// check then refuses; the row goes on. A symbol rate above 65.535 Msym/s still refuses the row.
std::string TakeDvbsRow(const TunerRowInputs& row, std::vector<uint8_t>& image, size_t at, bool takeDisable,
                        std::vector<std::string>* overMaximum);

// The IP/MAC block of the DVB-S/S2 input page: address first octet first, port big-endian, MAC.
std::array<uint8_t, 4> DvbsIpAddress(const std::vector<uint8_t>& block);
uint16_t DvbsIpPort(const std::vector<uint8_t>& block);

// MAC text: "%02x-%02x-..." of six bytes; typed text is read as six hexadecimal pairs at positions 0, 3,
// 6, 9, 12 and 15 (the separators ignored). False when the text is shorter than 17 characters.
std::string FormatMacDashes(const uint8_t* mac);
bool ParseMacDashes(const std::string& text, uint8_t* mac);
// A MAC text from the local time: "00-MM-DD-hh-mm-ss" in decimal groups (read back as hexadecimal).
std::string MacTextFromTime(const std::tm& local);
std::string MacTextFromNow();
// The gateway pages' MAC text: exactly 12 hexadecimal characters once ':' and '-' are taken out. False
// (mac untouched) otherwise.
bool ParseMacText(const std::string& text, uint8_t* mac);

}  // namespace nms
