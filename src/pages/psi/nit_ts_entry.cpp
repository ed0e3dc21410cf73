#include "pages/psi/nit_ts_entry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "devices/byte_io.h"
#include "pagebase/text_conversion.h"

namespace nms {
namespace {

constexpr int kDeliverySize = 13;
constexpr int kMaxDescriptorData = 255;

bool OnlyDigitsAndOnePoint(const std::string& text) {
    int points = 0;
    for (char c : text) {
        if (c == '.')
            ++points;
        else if (c < '0' || c > '9')
            return false;
    }
    return points <= 1;
}

std::string IntegerPart(const std::string& text) {
    return text.substr(0, text.find('.'));
}

// The decimals after the point, cut or padded with '0' to places.
std::string Decimals(const std::string& text, size_t places) {
    const size_t point = text.find('.');
    std::string decimals = point == std::string::npos ? std::string() : text.substr(point + 1);
    decimals.resize(places, '0');
    return decimals;
}

std::string Format(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Decimal digits, two to a byte, high nibble first; an odd count leaves the last low nibble to the caller.
void PutBcd(const std::string& digits, uint8_t* at) {
    for (size_t i = 0; i < digits.size(); ++i) {
        const uint8_t nibble = static_cast<uint8_t>(digits[i] - '0');
        if (i % 2 == 0)
            at[i / 2] = static_cast<uint8_t>((at[i / 2] & 0x0F) | (nibble << 4));
        else
            at[i / 2] = static_cast<uint8_t>((at[i / 2] & 0xF0) | nibble);
    }
}

std::string DigitsOnly(const std::string& text) {
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9')
            digits += c;
    return digits;
}

// Symbol rate BCD digits: the integer part left-padded to 3 digits, then the 4 decimals.
std::string SymbolRateDigits(const std::string& stored) {
    std::string integer = IntegerPart(stored);
    integer.insert(0, integer.size() < 3 ? 3 - integer.size() : 0, '0');
    return integer + Decimals(stored, 4);
}

int FindLabel(const std::vector<std::string>& table, const std::string& column) {
    for (size_t i = 0; i < table.size(); ++i)
        if (!table[i].empty() && column.compare(0, table[i].size(), table[i]) == 0)
            return static_cast<int>(i);
    return -1;
}

const std::vector<std::string>& ModulationTable(int delivery) {
    switch (delivery) {
        case kNitSatellite:
            return DeliveryValueLabels::kSatelliteModulation;
        case kNitTerrestrial:
            return DeliveryValueLabels::kTerrestrialConstellation;
        default:
            return DeliveryValueLabels::kCableModulation;
    }
}

void Put(std::string& column, const std::vector<std::string>& table, int index) {
    if (const std::string* label = DeliveryValueLabels::Label(table, index))
        column = *label;
}

std::string HexData(const uint8_t* data, int length) {
    std::string text;
    for (int i = 0; i < length; ++i)
        text += Format("%02X", data[i]);
    return text;
}

void PutLcnEntry(std::vector<uint8_t>& out, const LcnRow& row, uint8_t flags) {
    const uint16_t lcn = row.lcn & 0x3FF;
    out.push_back(static_cast<uint8_t>(row.serviceId >> 8));
    out.push_back(static_cast<uint8_t>(row.serviceId));
    out.push_back(static_cast<uint8_t>(flags | (lcn >> 8)));
    out.push_back(static_cast<uint8_t>(lcn));
}

}  // namespace

std::string CheckNitTsForm(NitTsForm& form) {
    const bool terrestrial = form.delivery == kNitTerrestrial;
    if (form.delivery != kNitCable && form.delivery != kNitSatellite && !terrestrial)
        return "Need Select Descriptor Type!";
    if (form.tsId.empty())
        return "TS ID(0x) should not be empty!";
    if (form.onid.empty())
        return "Orig. Net. ID(0x) should not be empty!";
    if (form.frequency.empty())
        return "Please set RF output frequency!";
    if (!terrestrial && form.symbolRate.empty())
        return "Please set symbol rate!";
    if (!IsHexText(form.tsId))
        return "TS ID(0x) should be 0-9,a-f or A-F!";
    if (!IsHexText(form.onid))
        return "Orig. Net. ID(0x) should be 0-9,a-f or A-F!";
    // The ids are 16 bits: a fifth digit would be cut.
    if (form.tsId.size() > 4 || form.onid.size() > 4)
        return "Please enter no more than 4 characters.";
    std::string frequency = form.frequency;
    // A second point would put a non-digit into the BCD digits.
    if (!OnlyDigitsAndOnePoint(frequency))
        return "RF Frequency value should be '0-9' or '.'";
    // Terrestrial frequencies are stored in tens of Hz.
    if (terrestrial)
        frequency.back() = '0';
    if (!terrestrial && !OnlyDigitsAndOnePoint(form.symbolRate))
        return "Symbol rate should be '0-9' or '.'";
    if (form.delivery == kNitSatellite && form.polarization < 0)
        return "Polarization: should not be empty!";
    if (terrestrial && form.guardInterval < 0)
        return "Guard Interval: should not be empty!";
    if (terrestrial && form.fec < 0)
        return "FEC Rate: should not be empty!";
    if (form.modulation < 0)
        return "Please select modulation!";

    const std::string integer = IntegerPart(frequency);
    switch (form.delivery) {
        case kNitCable:
            if (integer.size() > 4)
                return "RF Frequency should not be more than 10000M.";
            frequency = Format("%04d", ParseFirstNumber(integer)) + "." + Decimals(frequency, 4) + "(MHz)";
            break;
        case kNitSatellite:
            if (integer.size() > 3)
                return "RF Frequency should not be more than 1000G.";
            frequency = Format("%03d", ParseFirstNumber(integer)) + "." + Decimals(frequency, 5) + "(GHz)";
            break;
        default: {
            std::string hz = integer.size() < 2 ? std::string("0") : integer;
            if (hz.size() > 11 || (hz.size() == 11 && hz > "42949672950"))
                return "RF Frequency should not be more than 42949672950Hz";
            hz.pop_back();
            const uint32_t tens = hz.empty() ? 0 : static_cast<uint32_t>(std::stoull(hz));
            char text[32];
            std::snprintf(text, sizeof text, "%05u%05u0(Hz)", tens / 100000, tens % 100000);
            frequency = text;
            break;
        }
    }
    std::string symbolRate = form.symbolRate;
    if (!terrestrial) {
        // The BCD field holds three integer digits.
        if (IntegerPart(symbolRate).size() > 3)
            return "Symbol rate should not be more than 999.9999M.";
        symbolRate = IntegerPart(symbolRate) + "." + Decimals(symbolRate, 4);
    }
    form.frequency = frequency;
    form.symbolRate = symbolRate;
    form.tsId = Format("%04X", static_cast<int>(HexTextToUInt32(form.tsId)));
    form.onid = Format("%04X", static_cast<int>(HexTextToUInt32(form.onid)));
    return {};
}

std::string BuildNitTsEntry(const NitTsForm& form, NitTsEntry& entry) {
    std::vector<uint8_t> out(kDeliverySize, 0);
    // What the form does not give stays as the entry held it.
    std::memcpy(out.data(), entry.bytes.data() + 2, kDeliverySize);
    uint8_t* d = out.data();
    switch (form.delivery) {
        case kNitCable:
            d[0] = 0x44;
            d[1] = 11;
            PutBcd(DigitsOnly(form.frequency).substr(0, 8), d + 2);
            d[6] = 0xFF;
            d[7] = 0xF2;
            d[8] = static_cast<uint8_t>(form.modulation);
            PutBcd(SymbolRateDigits(form.symbolRate) + "5", d + 9);
            break;
        case kNitSatellite:
            d[0] = 0x43;
            d[1] = 11;
            PutBcd(DigitsOnly(form.frequency).substr(0, 8), d + 2);
            d[8] = static_cast<uint8_t>(((form.polarization & 3) << 5) | (form.modulation & 0x1F));
            PutBcd(SymbolRateDigits(form.symbolRate), d + 9);
            break;
        default: {
            d[0] = 0x5A;
            d[1] = 11;
            const std::string digits = DigitsOnly(form.frequency);
            const uint32_t tens =
                digits.size() > 1 ? static_cast<uint32_t>(std::stoull(digits.substr(0, digits.size() - 1)))
                                  : 0;
            ByteWriter(d + 2, 4).U32BE(0, tens);
            d[6] = static_cast<uint8_t>(((form.bandwidth & 7) << 5) | 0x1F);
            d[7] = static_cast<uint8_t>(((form.modulation & 3) << 6) | (form.fec & 7));
            d[8] = static_cast<uint8_t>(((form.fec & 7) << 5) | ((form.guardInterval & 3) << 3) |
                                        ((form.transmissionMode & 3) << 1));
            d[9] = d[10] = d[11] = d[12] = 0xFF;
            break;
        }
    }

    if (form.lcnOn && !form.lcnRows.empty()) {
        std::vector<uint8_t> data;
        if (!form.nordig87) {
            for (const LcnRow& row : form.lcnRows)
                PutLcnEntry(data, row, form.nordigV21 ? 0xC0 : 0xFC);
        } else {
            std::vector<int> ids;
            for (const LcnRow& row : form.lcnRows)
                if (std::find(ids.begin(), ids.end(), row.channelListId) == ids.end())
                    ids.push_back(row.channelListId);
            for (int id : ids) {
                const auto first = std::find_if(form.lcnRows.begin(), form.lcnRows.end(),
                                                [id](const LcnRow& r) { return r.channelListId == id; });
                std::vector<uint8_t> entries;
                for (auto it = first; it != form.lcnRows.end(); ++it)
                    if (it->channelListId == id)
                        PutLcnEntry(entries, *it, 0xFC);
                const std::string& name = first->channelListName;
                if (entries.size() > kMaxDescriptorData || name.size() > kLcnMaxChannelListName)
                    return "The LCN descriptor is longer than 255 bytes.";
                data.push_back(static_cast<uint8_t>(id));
                data.push_back(static_cast<uint8_t>(name.size() + 1));
                data.insert(data.end(), name.begin(), name.end());
                data.push_back(0);
                data.push_back(static_cast<uint8_t>(first->countryCode >> 16));
                data.push_back(static_cast<uint8_t>(first->countryCode >> 8));
                data.push_back(static_cast<uint8_t>(first->countryCode));
                data.push_back(static_cast<uint8_t>(entries.size()));
                data.insert(data.end(), entries.begin(), entries.end());
            }
        }
        if (data.size() > kMaxDescriptorData)
            return "The LCN descriptor is longer than 255 bytes.";
        out.push_back(form.nordig87 ? 0x87 : 0x83);
        out.push_back(static_cast<uint8_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    }

    if (form.privateOn) {
        for (const NetworkDescriptorRow& row : form.privateRows) {
            uint8_t data[kMaxDescriptorData];
            // The dialog keeps a row's data within 255 bytes; a longer one is refused, not cut.
            if ((row.text.size() + 1) / 2 > kMaxDescriptorData)
                return "Tag Max length is 255 bytes";
            const int length = HexTextToBytes(row.text, data);
            out.push_back(row.tag);
            out.push_back(static_cast<uint8_t>(length));
            out.insert(out.end(), data, data + length);
        }
    }
    if (static_cast<int>(out.size()) > kNitMaxEntryDescriptors)
        return "The descriptors of a transport stream may not be longer than 510 bytes.";
    entry.SetDescriptors(out.data(), static_cast<int>(out.size()));
    return {};
}

NitTsEntryLists ReadNitTsEntry(const NitTsEntry& entry) {
    NitTsEntryLists lists;
    const ByteReader all(entry.Descriptors(), static_cast<size_t>(entry.DescriptorsLength()));
    size_t pos = 0;
    uint8_t tag = 0, length = 0;
    // Whole descriptors only: one that runs past the entry ends the walk.
    while (all.U8(pos, &tag) && all.U8(pos + 1, &length) && all.Has(pos + 2, length)) {
        const ByteReader data = all.Sub(pos + 2, length);
        pos += 2 + size_t(length);
        if (tag == 0x43 || tag == 0x44 || tag == 0x5A)
            continue;
        if (tag == 0x83) {
            lists.lcnOn = true;
            uint8_t mask = 0x03;
            if (data.U8Or(2, 0xFC) < 0xFC) {
                mask = 0x3F;
                lists.nordigV21 = true;
            }
            for (size_t e = 0; data.Has(e, 4); e += 4) {
                LcnRow row;
                row.serviceId = data.U16BEOr(e);
                row.lcn = static_cast<uint16_t>(((data.U8Or(e + 2) & mask) << 8) | data.U8Or(e + 3));
                lists.lcnRows.push_back(row);
            }
        } else if (tag == 0x87) {
            lists.lcnOn = true;
            lists.nordig87 = true;
            size_t q = 0;
            uint8_t id = 0, nameLength = 0, listLength = 0;
            while (data.U8(q, &id) && data.U8(q + 1, &nameLength) && data.Has(q + 2, nameLength + 4u)) {
                LcnRow row;
                row.channelListId = id;
                row.channelListName = data.Text(q + 2, nameLength);
                q += 2 + size_t(nameLength);
                row.countryCode = (uint32_t(data.U8Or(q)) << 16) | data.U16BEOr(q + 1);
                listLength = data.U8Or(q + 3);
                const ByteReader list = data.Sub(q + 4, listLength);
                for (size_t e = 0; list.Has(e, 4); e += 4) {
                    row.serviceId = list.U16BEOr(e);
                    row.lcn = static_cast<uint16_t>(((list.U8Or(e + 2) & 0x03) << 8) | list.U8Or(e + 3));
                    lists.lcnRows.push_back(row);
                }
                q += 4 + size_t(listLength);
            }
        } else {
            lists.privateOn = true;
            NetworkDescriptorRow row;
            row.tag = tag;
            row.text = HexData(data.Data(), static_cast<int>(data.Size()));
            lists.privateRows.push_back(row);
        }
    }
    return lists;
}

NitTsForm NewRowPreset(const std::vector<NitTsRow>& rows) {
    NitTsForm form;
    if (rows.empty())
        return form;
    const NitTsRow& last = rows.back();
    uint16_t id = 0;
    form.tsId = ParseHexUShort(last.columns[0], &id) ? Format("%04X", (id + 1) & 0xFFFF) : "0000";
    form.onid = last.columns[1];
    form.frequency = Format("%03d", ParseFirstNumber(last.columns[2]) + 8);
    return form;
}

bool FormFromRow(const NitTsRow& row, NitTsForm* form) {
    const int delivery = FindLabel(DeliveryValueLabels::kDeliverySystem, row.columns[6]);
    if (delivery < 0)
        return false;
    NitTsForm f;
    f.tsId = row.columns[0];
    f.onid = row.columns[1];
    f.frequency = row.columns[2].substr(0, row.columns[2].find('('));
    f.symbolRate = row.columns[3];
    f.delivery = delivery;
    f.modulation = FindLabel(ModulationTable(delivery), row.columns[4]);
    if (delivery == kNitSatellite)
        f.polarization = FindLabel(DeliveryValueLabels::kPolarization, row.columns[5]);
    if (delivery == kNitTerrestrial) {
        f.bandwidth = FindLabel(DeliveryValueLabels::kBandwidth, row.columns[7]);
        f.transmissionMode = FindLabel(DeliveryValueLabels::kTransmissionMode, row.columns[8]);
        f.guardInterval = FindLabel(DeliveryValueLabels::kGuardInterval, row.columns[9]);
        f.fec = FindLabel(DeliveryValueLabels::kFecRate, row.columns[10]);
    }
    *form = std::move(f);
    return true;
}

void FillRowColumns(const NitTsForm& form, NitTsRow& row) {
    auto& c = row.columns;
    c[0] = form.tsId;
    c[1] = form.onid;
    c[2] = form.frequency;
    switch (form.delivery) {
        case kNitCable:
            c[3] = form.symbolRate;
            Put(c[4], DeliveryValueLabels::kCableModulation, form.modulation);
            c[6] = "Cable";
            break;
        case kNitSatellite:
            c[3] = form.symbolRate;
            Put(c[4], DeliveryValueLabels::kSatelliteModulation, form.modulation);
            Put(c[5], DeliveryValueLabels::kPolarization, form.polarization);
            c[6] = "Satellite";
            break;
        default:
            c[3].clear();
            c[5].clear();
            Put(c[4], DeliveryValueLabels::kTerrestrialConstellation, form.modulation);
            c[6] = "Terrestrial";
            Put(c[7], DeliveryValueLabels::kBandwidth, form.bandwidth);
            Put(c[8], DeliveryValueLabels::kTransmissionMode, form.transmissionMode);
            Put(c[9], DeliveryValueLabels::kGuardInterval, form.guardInterval);
            Put(c[10], DeliveryValueLabels::kFecRate, form.fec);
            break;
    }
}

}  // namespace nms
