#include "pages/psi/nit_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "devices/atomic_file.h"
#include "devices/device_packet.h"
#include "pagebase/text_conversion.h"

namespace nms {

namespace {

int Length12(const uint8_t* at) {
    return ((at[0] & 0x0F) << 8) | at[1];
}

std::string Printf(const char* format, int a, int b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string Nibbles(const uint8_t* d, int count, int pointAfter) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i == pointAfter)
            text += '.';
        const int nibble = (i % 2 == 0) ? d[i / 2] >> 4 : d[i / 2] & 0x0F;
        text += std::to_string(nibble);
    }
    return text;
}

void SetLabel(std::string& column, const std::vector<std::string>& table, int code) {
    if (const std::string* label = DeliveryValueLabels::Label(table, code))
        column = *label;
}

// The longest run of whole descriptors from the start of data that fits into limit bytes.
int WholeDescriptorsWithin(const uint8_t* data, int length, int limit) {
    if (length <= limit)
        return length;
    int q = 0;
    while (length - q >= 2 && q + 2 + data[q + 1] <= limit)
        q += 2 + data[q + 1];
    return q;
}

}  // namespace

const std::vector<std::string> DeliveryValueLabels::kCableModulation = {"Undefine", "16QAM",  "32QAM",
                                                                        "64QAM",    "128QAM", "256QAM"};
const std::vector<std::string> DeliveryValueLabels::kSatelliteModulation = {"Undefine", "QPSK"};
const std::vector<std::string> DeliveryValueLabels::kTerrestrialConstellation = {"QPSK", "16QAM", "64QAM"};
const std::vector<std::string> DeliveryValueLabels::kPolarization = {
    "Horizontal", "Linear Vertical", "Circular Left Orb", "Circular Right Orb"};
const std::vector<std::string> DeliveryValueLabels::kDeliverySystem = {"Cable", "Satellite", "Terrestrial"};
const std::vector<std::string> DeliveryValueLabels::kBandwidth = {"8MHz", "7MHz", "6MHz"};
const std::vector<std::string> DeliveryValueLabels::kTransmissionMode = {"2k Mode", "8k Mode"};
const std::vector<std::string> DeliveryValueLabels::kGuardInterval = {"1/32", "1/16", "1/8", "1/4"};
const std::vector<std::string> DeliveryValueLabels::kFecRate = {"1/2", "2/3", "3/4", "5/6", "7/8"};

const std::string* DeliveryValueLabels::Label(const std::vector<std::string>& table, int code) {
    if (code < 0 || code >= static_cast<int>(table.size()))
        return nullptr;
    return &table[static_cast<size_t>(code)];
}

int NitTsEntry::DescriptorsLength() const {
    return std::min(Length12(bytes.data()), kNitMaxEntryDescriptors);
}

int NitTsEntry::SetDescriptors(const uint8_t* data, int length) {
    Clear();
    const int n = std::clamp(length, 0, kNitMaxEntryDescriptors);
    if (n > 0)
        std::memcpy(bytes.data() + 2, data, static_cast<size_t>(n));
    bytes[0] = static_cast<uint8_t>(n >> 8);
    bytes[1] = static_cast<uint8_t>(n);
    return n;
}

bool NitTable::AddRow(NitTsRow row) {
    if (static_cast<int>(rows.size()) >= kNitMaxTsRows)
        return false;
    rows.push_back(std::move(row));
    return true;
}

bool NitTable::Build() {
    image.Clear();
    imageLength = 0;
    sectionCount = 0;
    if (networkId.empty())
        return false;
    if (BuildNitSections(0, 0, 0) < 0) {
        image.Clear();
        imageLength = 0;
        sectionCount = 0;
        return false;
    }
    return true;
}

int NitTable::BuildNitSections(int slotIndex, int sectionNumber, int firstRow) {
    if (slotIndex >= kNitSlotCount)
        return -1;
    imageLength = 0;
    uint8_t* slot = image.Slot(slotIndex);
    std::memset(slot, 0, kNitSlotSize);
    slot[0] = 0x40;
    slot[1] = 0xF0;

    const uint32_t id = HexTextToUInt32(networkId);
    slot[3] = static_cast<uint8_t>(id >> 8);
    slot[4] = static_cast<uint8_t>(id);
    slot[5] = static_cast<uint8_t>(((version & 0x1F) << 1) | 0xC1);
    slot[6] = static_cast<uint8_t>(slotIndex);
    slot[7] = static_cast<uint8_t>(sectionNumber);
    slot[8] = 0xF0;
    slot[9] = 0;

    const int nameLength = std::min(static_cast<int>(networkName.size()), kNitMaxNameLength);
    slot[10] = 0x40;
    slot[11] = static_cast<uint8_t>(nameLength);
    std::memcpy(slot + 12, networkName.data(), static_cast<size_t>(nameLength));
    int p = 12 + nameLength;

    if (networkDescriptorsOn) {
        const int count = std::min(static_cast<int>(networkDescriptors.size()), kNitMaxNetworkDescriptors);
        for (int k = 0; k < count; ++k) {
            uint8_t data[kNitMaxNetworkDescriptorHex / 2];
            const int length = HexTextToBytes(networkDescriptors[static_cast<size_t>(k)].text, data);
            // Room for this descriptor, the loop length and the CRC.
            if (p + 2 + length + 2 + 4 > kNitSlotSize)
                return -1;
            slot[p++] = networkDescriptors[static_cast<size_t>(k)].tag;
            slot[p++] = static_cast<uint8_t>(length);
            std::memcpy(slot + p, data, static_cast<size_t>(length));
            p += length;
        }
    }
    const int descriptorsLength = p - 10;
    slot[8] = static_cast<uint8_t>(0xF0 | (descriptorsLength >> 8));
    slot[9] = static_cast<uint8_t>(descriptorsLength);

    const int loopAt = p;
    slot[p++] = 0xF0;
    slot[p++] = 0x00;

    int last = sectionNumber;
    for (int i = firstRow; i < static_cast<int>(rows.size()); ++i) {
        const NitTsRow& row = rows[static_cast<size_t>(i)];
        const int d = row.entry.DescriptorsLength();
        if (p + 6 + d + 4 > kNitSlotSize) {
            // Rows are never split: the rest goes into the next section, and five sections are all.
            if (sectionNumber >= kNitSlotCount - 1)
                return -1;
            last = BuildNitSections(slotIndex + 1, sectionNumber + 1, i);
            if (last < 0)
                return -1;
            slot[7] = static_cast<uint8_t>(last);
            break;
        }
        const uint32_t tsId = HexTextToUInt32(row.columns[0]);
        const uint32_t onId = HexTextToUInt32(row.columns[1]);
        slot[p++] = static_cast<uint8_t>(tsId >> 8);
        slot[p++] = static_cast<uint8_t>(tsId);
        slot[p++] = static_cast<uint8_t>(onId >> 8);
        slot[p++] = static_cast<uint8_t>(onId);
        slot[p++] = static_cast<uint8_t>(0xF0 | (d >> 8));
        slot[p++] = static_cast<uint8_t>(d);
        std::memcpy(slot + p, row.entry.Descriptors(), static_cast<size_t>(d));
        p += d;
    }
    const int loopLength = p - loopAt - 2;
    slot[loopAt] = static_cast<uint8_t>(0xF0 | (loopLength >> 8));
    slot[loopAt + 1] = static_cast<uint8_t>(loopLength);

    slot[1] = static_cast<uint8_t>(slot[1] | ((p + 1) >> 8));
    slot[2] = static_cast<uint8_t>(p + 1);
    AppendCrc32(slot, p);
    imageLength = p + 4;
    ++sectionCount;
    return last;
}

void NitTable::ParseNitSections() {
    if (!image.HasSection(0))
        return;
    const uint8_t* slot = image.Slot(0);
    networkId = Printf("%04x", (slot[3] << 8) | slot[4]);
    version = (slot[5] >> 1) & 0x1F;
    networkDescriptors.clear();
    rows.clear();

    const int end = std::min(10 + Length12(slot + 8), kNitSlotSize);
    int pos = 10;
    while (end - pos >= 2) {
        const int tag = slot[pos];
        const int length = slot[pos + 1];
        if (pos + 2 + length > end)
            break;
        const uint8_t* data = slot + pos + 2;
        if (tag == 0x40) {
            networkName.assign(reinterpret_cast<const char*>(data),
                               static_cast<size_t>(std::min(length, kNitMaxNameLength)));
        } else if (static_cast<int>(networkDescriptors.size()) < kNitMaxNetworkDescriptors) {
            NetworkDescriptorRow row;
            row.tag = static_cast<uint8_t>(tag);
            for (int k = 0; k < std::min(length, kNitMaxNetworkDescriptorHex / 2); ++k)
                row.text += Printf("%02X", data[k]);
            networkDescriptors.push_back(std::move(row));
            networkDescriptorsOn = true;
        }
        pos += 2 + length;
    }
    ParseLoop(slot, 10 + Length12(slot + 8));

    // Later sections add their rows only; a fifth section is never read back.
    for (int k = 1; k < kNitSlotCount - 1 && image.HasSection(k); ++k) {
        const uint8_t* next = image.Slot(k);
        ParseLoop(next, 10 + Length12(next + 8));
    }
}

void NitTable::ParseLoop(const uint8_t* slot, int loopAt) {
    if (loopAt + 2 > kNitSlotSize)
        return;
    const int end = std::min(loopAt + 2 + Length12(slot + loopAt), kNitSlotSize);
    int pos = loopAt + 2;
    while (end - pos > 5 && static_cast<int>(rows.size()) < kNitMaxTsRows) {
        NitTsRow row;
        row.columns[0] = Printf("%04x", (slot[pos] << 8) | slot[pos + 1]);
        row.columns[1] = Printf("%04x", (slot[pos + 2] << 8) | slot[pos + 3]);
        const int d = std::min(Length12(slot + pos + 4), end - pos - 6);
        const uint8_t* descriptors = slot + pos + 6;
        row.entry.SetDescriptors(descriptors,
                                 WholeDescriptorsWithin(descriptors, d, kNitMaxEntryDescriptors));
        int q = 0;
        while (d - q >= 2) {
            const int length = descriptors[q + 1];
            if (q + 2 + length > d)
                break;
            const uint8_t tag = descriptors[q];
            if (tag == 0x44 || tag == 0x43 || tag == 0x5A)
                FormatDeliveryDescriptor(descriptors + q, d - q, row);
            q += 2 + length;
        }
        rows.push_back(std::move(row));
        pos += 6 + d;
    }
}

int NitTable::FormatDeliveryDescriptor(const uint8_t* d, int available, NitTsRow& row) {
    if (available < 2)
        return available;
    const int size = d[1] + 2;
    const int usable = std::min(size, available);
    auto& c = row.columns;
    if ((d[0] == 0x44 || d[0] == 0x43) && usable >= 13) {
        if (d[0] == 0x44) {
            c[6] = "Cable";
            if (d[8] <= 5)
                SetLabel(c[4], DeliveryValueLabels::kCableModulation, d[8]);
            c[2] = Nibbles(d + 2, 8, 4) + "(MHz)";
        } else {
            c[6] = "Satellite";
            SetLabel(c[4], DeliveryValueLabels::kSatelliteModulation, d[8] & 0x1F);
            SetLabel(c[5], DeliveryValueLabels::kPolarization, (d[8] >> 5) & 3);
            c[2] = Nibbles(d + 2, 8, 3) + "(GHz)";
        }
        c[3] = Nibbles(d + 9, 7, 3);
    } else if (d[0] == 0x5A && usable >= 9) {
        c[6] = "Terrestrial";
        const uint32_t f = (uint32_t(d[2]) << 24) | (uint32_t(d[3]) << 16) | (uint32_t(d[4]) << 8) | d[5];
        c[2] = Printf("%05d%05d0(Hz)", static_cast<int>(f / 100000), static_cast<int>(f % 100000));
        SetLabel(c[7], DeliveryValueLabels::kBandwidth, d[6] >> 5);
        SetLabel(c[10], DeliveryValueLabels::kFecRate, d[7] & 7);
        SetLabel(c[4], DeliveryValueLabels::kTerrestrialConstellation, d[7] >> 6);
        SetLabel(c[9], DeliveryValueLabels::kGuardInterval, (d[8] >> 3) & 3);
        SetLabel(c[8], DeliveryValueLabels::kTransmissionMode, (d[8] >> 1) & 3);
    }
    return size;
}

NitFileRead ReadNitFile(const std::string& path, NitImage* image, int* length) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return NitFileRead::kCannotOpen;
    std::vector<uint8_t> data(kNitImageSize + 1);
    const size_t n = std::fread(data.data(), 1, data.size(), file);
    std::fclose(file);
    if (n > static_cast<size_t>(kNitImageSize))
        return NitFileRead::kTooLong;
    image->Clear();
    std::memcpy(image->bytes.data(), data.data(), n);
    *length = static_cast<int>(n);
    return NitFileRead::kOk;
}

bool WriteNitFile(const std::string& path, const NitImage& image) {
    return WriteFileAtomically(path, image.bytes.data(), image.bytes.size(), nullptr);
}

}  // namespace nms
