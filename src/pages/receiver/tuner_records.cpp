#include "pages/receiver/tuner_records.h"

#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/text_conversion.h"

namespace nms {

const std::vector<std::string> kPolarizationList = {"Hor.(18V)", "Ver.(13V)", "Close"};
const std::vector<std::string> kTunerConstellationList = {"16QAM",  "32QAM",  "64QAM",
                                                          "128QAM", "256QAM", "1024QAM"};
const std::vector<std::string> kDvbsConstellationList = {"16QAM",  "32QAM",  "64QAM",
                                                         "128QAM", "256QAM", "1024QAN"};
const std::vector<std::string> kModulationModeList = {"DVB-T", "DVB-T2", "DVB-C", "AUTO"};
const std::vector<std::string> kToneList = {"Close", "Open"};
const std::vector<std::string> kBandwidthList = {"6M", "7M", "8M", "5M", "1.7M"};
const std::vector<std::string> kDiseqcList = {"Close", "A", "B", "C", "D"};
const std::vector<std::string> kDisableList = {"Open", "Close"};

bool ReadTunerHead(const std::vector<uint8_t>& image, size_t at, TunerChannelHead* head) {
    const ByteReader r(image);
    if (!r.Has(at, kTunerHeadSize))
        return false;
    head->lnb = r.U32LEOr(at);
    head->frequency = r.U32LEOr(at + 4);
    head->symbolRate = r.U16LEOr(at + 8);
    head->first = r.U8Or(at + 10);
    head->second = r.U8Or(at + 11);
    head->diseqc = r.U8Or(at + 12);
    return true;
}

bool WriteTunerHead(std::vector<uint8_t>& image, size_t at, const TunerChannelHead& head) {
    ByteWriter w(image);
    if (!w.Has(at, kTunerHeadSize))
        return false;
    w.U32LE(at, head.lnb);
    w.U32LE(at + 4, head.frequency);
    w.U16LE(at + 8, head.symbolRate);
    w.U8(at + 10, head.first);
    w.U8(at + 11, head.second);
    w.U8(at + 12, head.diseqc);
    return true;
}

bool IsEmptyTunerRecord(const std::vector<uint8_t>& image, size_t at) {
    TunerChannelHead h;
    if (!ReadTunerHead(image, at, &h))
        return true;
    return h.lnb == 0 || h.frequency == 0 || h.symbolRate == 0;
}

std::string FormatThousandthsText(uint32_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%u.%03u", value / 1000, value % 1000);
    return text;
}

bool ParseTunerThousandths(const std::string& text, uint32_t max, uint32_t* value) {
    int32_t v = 0;
    if (ParseDecimalTimes1000Checked(text, &v) != 1 || v < 0 || uint32_t(v) > max)
        return false;
    *value = uint32_t(v);
    return true;
}

TunerRowInputs ShowTunerRow(const std::vector<uint8_t>& image, size_t at, bool hasDisable) {
    TunerRowInputs row;
    TunerChannelHead h;
    if (!ReadTunerHead(image, at, &h))
        return row;
    row.frequency = FormatThousandthsText(h.frequency);
    row.lnb = FormatThousandthsText(h.lnb);
    row.symbol = FormatThousandthsText(h.symbolRate);
    row.selection = {h.first, h.second, h.diseqc, -1};
    if (hasDisable && at + kDvbsDisableOffset < image.size())
        row.selection[3] = image[at + kDvbsDisableOffset];
    return row;
}

namespace {

// overMaximum null: a number text that does not fit refuses the row. Otherwise a text with more than 5
// integer characters is reported there and taken as 0; only a symbol rate above the record's 16 bits
// still refuses the row.
std::string TakeRow(const TunerRowInputs& row, std::vector<uint8_t>& image, size_t at, bool takeDisable,
                    std::vector<std::string>* overMaximum) {
    TunerChannelHead h;
    if (!ReadTunerHead(image, at, &h))
        return {};
    // A text that still shows the received value keeps it, whatever its length.
    auto take = [overMaximum](const std::string& text, uint32_t max, uint32_t* value) {
        if (text == FormatThousandthsText(*value) || ParseTunerThousandths(text, max, value))
            return true;
        int32_t v = 0;
        if (!overMaximum || ParseDecimalTimes1000Checked(text, &v) == 1)
            return false;
        overMaximum->push_back(kFrequencyOverMaximumText);
        *value = 0;
        return true;
    };
    uint32_t symbol = h.symbolRate;
    const bool frequency = take(row.frequency, UINT32_MAX, &h.frequency);
    if (!frequency || !take(row.lnb, UINT32_MAX, &h.lnb))
        return kFrequencyOverMaximumText;
    // 65.535 Msym/s is the most the record holds: a larger rate is refused, not cut.
    if (!take(row.symbol, UINT16_MAX, &symbol))
        return kSymbolOverMaximumText;
    h.symbolRate = uint16_t(symbol);
    // A selector left without a selection writes back the byte it was shown.
    if (row.selection[0] >= 0)
        h.first = uint8_t(row.selection[0]);
    if (row.selection[1] >= 0)
        h.second = uint8_t(row.selection[1]);
    if (row.selection[2] >= 0)
        h.diseqc = uint8_t(row.selection[2]);
    WriteTunerHead(image, at, h);
    if (takeDisable && row.selection[3] >= 0 && at + kDvbsDisableOffset < image.size())
        image[at + kDvbsDisableOffset] = uint8_t(row.selection[3]);
    return {};
}

}  // namespace

std::string TakeTunerRow(const TunerRowInputs& row, std::vector<uint8_t>& image, size_t at,
                         bool takeDisable) {
    return TakeRow(row, image, at, takeDisable, nullptr);
}

std::string TakeDvbsRow(const TunerRowInputs& row, std::vector<uint8_t>& image, size_t at, bool takeDisable,
                        std::vector<std::string>* overMaximum) {
    return TakeRow(row, image, at, takeDisable, overMaximum);
}

std::array<uint8_t, 4> DvbsIpAddress(const std::vector<uint8_t>& block) {
    const ByteReader r(block);
    return {r.U8Or(0), r.U8Or(1), r.U8Or(2), r.U8Or(3)};
}

uint16_t DvbsIpPort(const std::vector<uint8_t>& block) {
    return ByteReader(block).U16BEOr(4);
}

std::string FormatMacDashes(const uint8_t* mac) {
    char text[24];
    std::snprintf(text, sizeof text, "%02x-%02x-%02x-%02x-%02x-%02x", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return text;
}

bool ParseMacDashes(const std::string& text, uint8_t* mac) {
    if (text.size() < 17)
        return false;
    for (int i = 0; i < 6; ++i)
        mac[i] = HexDigitsToByte(text[size_t(3 * i)], text[size_t(3 * i + 1)]);
    return true;
}

std::string MacTextFromTime(const std::tm& t) {
    char text[40];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d-%02d-%02d-%02d", 0, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                  t.tm_min, t.tm_sec);
    return text;
}

std::string MacTextFromNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return MacTextFromTime(local);
}

bool ParseMacText(const std::string& text, uint8_t* mac) {
    std::string digits;
    for (char c : text)
        if (c != ':' && c != '-')
            digits.push_back(c);
    if (digits.size() < 12 || !IsHexText(std::string_view(digits).substr(0, 12)))
        return false;
    for (int i = 0; i < 6; ++i)
        mac[i] = HexDigitsToByte(digits[size_t(2 * i)], digits[size_t(2 * i + 1)]);
    return true;
}

}  // namespace nms
