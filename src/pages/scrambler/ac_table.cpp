#include "pages/scrambler/ac_table.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "devices/byte_io.h"
#include "pagebase/text_conversion.h"

namespace nms {
namespace {

// Reads one entry at *pos; false when it would run past the image.
bool ReadEntry(const ByteReader& r, size_t* pos, AcRecord* out) {
    uint8_t l1 = 0, l2 = 0;
    if (!r.U8(*pos, &l1) || !r.Has(*pos + 1, l1) || !r.U8(*pos + 1 + l1, &l2) || !r.Has(*pos + 2 + l1, l2))
        return false;
    out->name.assign(reinterpret_cast<const char*>(r.Data() + *pos + 1), l1);
    out->data.assign(r.Data() + *pos + 2 + l1, r.Data() + *pos + 2 + l1 + l2);
    *pos += 2 + size_t(l1) + l2;
    return true;
}

bool EntriesFitLengthBytes(const std::vector<AcRecord>& entries) {
    return std::all_of(entries.begin(), entries.end(),
                       [](const AcRecord& e) { return e.name.size() <= 255 && e.data.size() <= 255; });
}

// Writes the entries from pos on; the caller checked that they fit.
void WriteEntries(const std::vector<AcRecord>& entries, uint8_t* image, size_t pos) {
    for (const AcRecord& e : entries) {
        image[pos++] = uint8_t(e.name.size());
        std::copy(e.name.begin(), e.name.end(), image + pos);
        pos += e.name.size();
        image[pos++] = uint8_t(e.data.size());
        std::copy(e.data.begin(), e.data.end(), image + pos);
        pos += e.data.size();
    }
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::string AcDataText(const std::vector<uint8_t>& data, bool upper) {
    std::string text;
    char pair[3];
    for (uint8_t b : data) {
        std::snprintf(pair, sizeof pair, upper ? "%02X" : "%02x", unsigned(b));
        text += pair;
    }
    return text;
}

std::vector<AcRecord> ReadAcEntries(const AcTableImage& image, const AcEcmBlock& ecm) {
    const ByteReader r(image.data(), image.size());
    const ByteReader ids(ecm.data(), ecm.size());
    const int count = r.U16BEOr(0);
    const int idCount = ids.U16BEOr(0);
    std::vector<AcRecord> out;
    size_t pos = 2, idPos = 2;
    while (int(out.size()) < count && pos < image.size()) {
        AcRecord e;
        if (!ReadEntry(r, &pos, &e))
            break;
        // An id past the block (possible only with skipped empty entries) counts as the default.
        e.ecmId = idCount == 0 ? 1 : ids.U16BEOr(idPos, 1);
        idPos += 2;
        if (e.name.empty() || e.data.empty())
            continue;
        out.push_back(std::move(e));
    }
    return out;
}

int AcPackedLength(const std::vector<AcRecord>& entries) {
    int n = 2;
    for (const AcRecord& e : entries)
        n += e.PackedSize();
    return n;
}

bool PackAcEntries(const std::vector<AcRecord>& entries, AcTableImage* image, AcEcmBlock* ecm) {
    if (entries.empty()) {
        (*image)[0] = (*image)[1] = 0;
        return true;
    }
    if (AcPackedLength(entries) > kAcImageSize || !EntriesFitLengthBytes(entries) ||
        2 + 2 * entries.size() > ecm->size())
        return false;
    ByteWriter w(image->data(), image->size());
    ByteWriter ids(ecm->data(), ecm->size());
    w.U16BE(0, uint16_t(entries.size()));
    ids.U16BE(0, uint16_t(entries.size()));
    WriteEntries(entries, image->data(), 2);
    for (size_t k = 0; k < entries.size(); ++k)
        ids.U16BE(2 + 2 * k, entries[k].ecmId);
    return true;
}

std::vector<std::string> AcIndexNames(const AcTableImage& image) {
    const ByteReader r(image.data(), image.size());
    const int count = r.U16BEOr(0);
    std::vector<std::string> names;
    size_t pos = 2;
    for (int k = 0; k < count; ++k) {
        AcRecord e;
        if (!ReadEntry(r, &pos, &e))
            break;
        names.push_back(std::move(e.name));
    }
    return names;
}

void LoadAcFile(const std::vector<uint8_t>& file, AcTableImage* image, AcEcmBlock* ecm) {
    const size_t toImage = std::min(file.size(), image->size());
    std::copy(file.begin(), file.begin() + long(toImage), image->begin());
    if (file.size() > image->size()) {
        const size_t toEcm = std::min(file.size() - image->size(), ecm->size());
        std::copy(file.begin() + long(image->size()), file.begin() + long(image->size() + toEcm),
                  ecm->begin());
    }
}

std::vector<uint8_t> AcFileBytes(const AcTableImage& image, const AcEcmBlock& ecm) {
    std::vector<uint8_t> out(image.begin(), image.end());
    out.insert(out.end(), ecm.begin(), ecm.end());
    return out;
}

std::vector<AcRecord> ReadSasAcEntries(const SasAcTableImage& image) {
    const ByteReader r(image.data(), image.size());
    const int count = r.U8Or(2);
    std::vector<AcRecord> out;
    size_t pos = 3;
    for (int k = 0; k < count; ++k) {
        AcRecord e;
        if (!ReadEntry(r, &pos, &e))
            break;
        out.push_back(std::move(e));
    }
    return out;
}

int SasAcPackedLength(const std::vector<AcRecord>& entries) {
    return AcPackedLength(entries) + 1;
}

bool PackSasAcEntries(const std::vector<AcRecord>& entries, SasAcTableImage* image) {
    const int length = SasAcPackedLength(entries);
    if (entries.size() > size_t(kSasAcMaxEntries) || length > kAcImageSize || !EntriesFitLengthBytes(entries))
        return false;
    ByteWriter w(image->data(), image->size());
    w.U16BE(0, uint16_t(length));
    w.U8(2, uint8_t(entries.size()));
    WriteEntries(entries, image->data(), 3);
    return true;
}

std::vector<std::string> SasAcIndexNames(const SasAcTableImage& image) {
    const ByteReader all(image.data(), image.size());
    const size_t used = std::min<size_t>(all.U16BEOr(0), image.size());
    const ByteReader r = all.Sub(0, used);
    const int count = all.U8Or(2);
    std::vector<std::string> names;
    size_t pos = 3;
    for (int k = 0; k < count && pos < used; ++k) {
        AcRecord e;
        if (!ReadEntry(r, &pos, &e))
            break;
        names.push_back(std::move(e.name));
    }
    return names;
}

std::vector<uint8_t> SasAcFileBytes(const SasAcTableImage& image) {
    std::vector<uint8_t> out;
    out.reserve(kAcFileSize - 1);
    out.push_back(0);
    out.insert(out.end(), image.begin() + 2, image.end());
    for (int k = 0; k < kAcEcmBlockSize / 2; ++k) {
        out.push_back(0);
        out.push_back(1);
    }
    return out;
}

void LoadSasAcFile(const std::vector<uint8_t>& file, SasAcTableImage* image) {
    if (file.empty())
        return;
    (*image)[2] = file[0];
    // File bytes 1..2046 land at image bytes 2..2047: byte 0 is dropped, byte 1 becomes the count.
    const size_t n = std::min(file.size() - 1, size_t(kAcImageSize - 2));
    std::copy(file.begin() + 1, file.begin() + 1 + long(n), image->begin() + 2);
}

std::string CheckAcEntry(const std::string& name, const std::string& dataText, const std::string& ecmText,
                         AcRecord* out) {
    if (name.empty() || name.size() > size_t(kAcNameMax))
        return "AC name error!(length should between 1-128)";
    // The data length travels in one byte: at most 255 bytes, 510 characters.
    if (dataText.empty() || dataText.size() > 510)
        return "AC value error!(length should be 0-512 Hex characters)";
    if (dataText.size() % 2)
        return "AC value's length should be even number!";
    if (!std::all_of(dataText.begin(), dataText.end(), IsHexDigit))
        return "AC value error,should be hex data:'0-9','a-f' or 'A-F'!";
    if (!std::all_of(ecmText.begin(), ecmText.end(), IsHexDigit))
        return "ECM ID should be 0-9,a-f or A-F!";
    AcRecord e;
    e.name = name;
    e.data.resize(dataText.size() / 2);
    HexTextToBytes(dataText, e.data.data(), int(e.data.size()));
    e.ecmId = uint16_t(HexTextToUInt32(ecmText));
    *out = std::move(e);
    return {};
}

bool ReadAcFileBytes(const std::string& path, std::vector<uint8_t>* bytes, size_t maxBytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes->assign(maxBytes + 1, 0);
    in.read(reinterpret_cast<char*>(bytes->data()), std::streamsize(bytes->size()));
    bytes->resize(size_t(in.gcount()));
    return true;
}

}  // namespace nms
