#include "pages/encoder/ip_out_logic.h"

#include <algorithm>
#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/text_conversion.h"
#include "pages/encoder/encoder_output_logic.h"

namespace nms {
namespace {

constexpr const char* kValidationCaption = "Warning";
constexpr IpOutVariant kVariants[] = {
    {1, 1, 1, false, "Enable", "Destination IP Out Setting"},
    {2, 4, 4, true, "Enable", "Destination IP Out Setting"},
    {81, 8, 8, true, "Enable", "Destination IP Out Setting"},
    {82, 8, 8, true, "Enable", "Destination IP Out Setting"},
    {85, 8, 8, false, "Encrypted", "Destination IP Out Setting"},
    {87, 0, 0, true, "Enable", "Destination IP Out Setting"},
    {97, 8, 8, false, "Enable", "IP Input Setting"},
};

// Offsets inside a record.
constexpr int kDestText = 0;
constexpr int kDestIp = 32;
constexpr int kGatewayText = 36;
constexpr int kMaskText = 68;
constexpr int kDestPort = 100;
constexpr int kLocalText = 102;
constexpr int kLocalIp = 134;
constexpr int kMac = 138;
constexpr int kSourcePort = 144;
constexpr int kEnabled = 146;
constexpr int kSpts = 147;
constexpr int kGateway = 148;
constexpr int kMask = 152;
constexpr int kTextField = 32;

constexpr int kBlockEntries = 47;
constexpr int kBlockEntrySize = 15;

const char* const kRangeText = "Value range should be between ";

FieldResult Refused(const std::string& message) {
    FieldResult r;
    r.ok = false;
    r.message = message;
    return r;
}

// A port: decimal, at most 65535; an empty text is 0.
FieldResult ParsePort(const FieldDef& f, const FieldInput& in) {
    if (!IsDecimalText(in.text) || in.text.size() > 5)
        return Refused(f.message);
    FieldResult r;
    r.value = in.text.empty() ? 0 : std::stoi(in.text);
    if (r.value > 65535)
        return Refused(f.message);
    return r;
}

// A MAC of 17 characters; with ':' or '-' the pieces between them are joined. Six hexadecimal pairs.
FieldResult ParseMacText(const FieldDef& f, const FieldInput& in) {
    const std::string& t = in.text;
    if (t.size() != 17)
        return Refused(f.message);
    std::string digits = t;
    if (t.find_first_of(":-") != std::string::npos) {
        digits.clear();
        for (char c : t)
            if (c != ':' && c != '-')
                digits += c;
    }
    if (digits.size() < 12 || !IsHexText(digits.substr(0, 12)))
        return Refused(f.message);
    FieldResult r;
    for (size_t i = 0; i < 6; ++i)
        r.bytes.push_back(HexDigitsToByte(digits[2 * i], digits[2 * i + 1]));
    return r;
}

FieldDef Address(std::string key, std::string label, int offset) {
    FieldDef f;
    f.key = std::move(key);
    f.label = std::move(label);
    f.offset = offset;
    f.wire = Wire::kBytes;
    f.length = 4;
    f.control = Control::kIpAddress;
    f.codec = Codec::kDottedIp;
    return f;
}

FieldDef Port(std::string key, std::string label, int offset, std::string message) {
    FieldDef f;
    f.key = std::move(key);
    f.label = std::move(label);
    f.offset = offset;
    f.wire = Wire::kU16LE;
    f.message = std::move(message);
    f.parse = ParsePort;
    return f;
}

std::string RangeMessage(const std::string& head) {
    char text[96];
    std::snprintf(text, sizeof text, "%s%s%s%d-%d", head.c_str(), "Port:", kRangeText, 0, 65535);
    return text;
}

FieldTable BuildTable() {
    FieldTable t;
    // Checked in this order: the source port, the MAC, then the destination ports.
    t.push_back(Address("ip", "IP Adress:", kLocalIp));
    t.push_back(Address("mask", "Subnet Mask:", kMask));
    t.push_back(Address("gateway", "Gateway:", kGateway));
    char head[64];
    std::snprintf(head, sizeof head, "%s%s%d-%d", "Source Port:", kRangeText, 0, 65535);
    t.push_back(Port("srcPort", "Source Port:", kSourcePort, head));
    FieldDef mac;
    mac.key = "mac";
    mac.label = "MAC Adress:";
    mac.offset = kMac;
    mac.wire = Wire::kBytes;
    mac.length = 6;
    mac.codec = Codec::kMac;
    mac.macSeparator = '-';
    mac.message = kMacMessage;
    mac.parse = ParseMacText;
    t.push_back(mac);
    for (int n = 1; n <= kIpOutRecords; ++n) {
        const int base = kIpOutRecordSize * (n - 1);
        t.push_back(Port("port" + std::to_string(n), "Port:", base + kDestPort,
                         RangeMessage("Port-" + std::to_string(n) + ":")));
    }
    for (int n = 1; n <= kIpOutRecords; ++n)
        t.push_back(Address("ip" + std::to_string(n), "", kIpOutRecordSize * (n - 1) + kDestIp));
    for (int n = 1; n <= kIpOutRecords; ++n) {
        FieldDef f;
        f.key = "enable" + std::to_string(n);
        f.label = "Enable";
        f.offset = kIpOutRecordSize * (n - 1) + kEnabled;
        f.control = Control::kCheck;
        f.codec = Codec::kFlag;
        t.push_back(f);
    }
    return t;
}

// Where the block's fields lie in the records.
struct Piece {
    int block;
    int image;
    int size;
};
// The local settings and the first `destinations` entries.
std::vector<Piece> BlockPieces(int destinations) {
    std::vector<Piece> p = {{8, kLocalIp, 4},     {12, kGateway, 4}, {16, kMask, 4},
                            {20, kSourcePort, 2}, {22, kMac, 6},     {28, kSpts, 1}};
    for (int i = 0; i < destinations; ++i) {
        const int at = kBlockEntries + kBlockEntrySize * i;
        const int record = kIpOutRecordSize * i;
        p.push_back({at, record + kDestIp, 4});
        p.push_back({at + 4, record + kDestPort, 2});
        p.push_back({at + 6, record + kEnabled, 1});
    }
    return p;
}

void PutText(ParamBlock& image, int offset, const std::string& text) {
    std::vector<uint8_t>& b = image.Bytes();
    std::fill_n(b.begin() + offset, kTextField, 0);
    std::copy_n(text.begin(), std::min<size_t>(text.size(), kTextField - 1), b.begin() + offset);
}

std::string PlainDotted(const uint8_t* a) {
    char text[20];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
    return text;
}

std::string FixedDotted(const uint8_t* a) {
    char text[kDottedIpBufferSize];
    FormatDottedIp(text, a);
    return text;
}

}  // namespace

const IpOutVariant* IpOutVariantOf(int pageParam) {
    for (const IpOutVariant& v : kVariants)
        if (v.pageParam == pageParam)
            return &v;
    return nullptr;
}

const FieldTable& IpOutTable() {
    static const FieldTable table = BuildTable();
    return table;
}

void IpOutLogic::Bind(int pageParam, uint16_t typeCode) {
    m_variant = IpOutVariantOf(pageParam);
    // The gateway of this type always sends one stream per destination.
    m_sptsFixed = typeCode == 0x2125 && pageParam == 2;
    m_spts = m_sptsFixed;
}

int IpOutLogic::Destinations() const {
    if (!m_variant)
        return 1;
    if (m_variant->records == 0)
        return m_blockCount;
    if (m_variant->pageParam == 82 && (m_replyFlags & 0x08))
        return 4;
    return m_variant->destinations;
}

PageStep IpOutLogic::Get(std::optional<int>) {
    return Request(kCmdIpOutGet, {}, PageStep::Wait::kBeginShort);
}

PageStep IpOutLogic::Set(const FormInputs& inputs, std::optional<int>) {
    m_failedField = -1;
    if (!m_variant)
        return PageStep::Message("Error!").WithCaption(kValidationCaption);
    // Only the ports of the destinations the device has are checked and taken.
    const int destinations = Destinations();
    std::vector<std::optional<FieldInput>> taken = inputs;
    const FieldTable& table = IpOutTable();
    for (int n = destinations + 1; n <= kIpOutRecords; ++n)
        for (const char* kind : {"port", "ip", "enable"}) {
            const int i = FindField(table, kind + std::to_string(n));
            if (size_t(i) < taken.size())
                taken[size_t(i)].reset();
        }
    const ParamBlock before = m_image;
    PageStep refused;
    if (!Collect(table, taken, m_image, &refused))
        return refused.WithCaption(kValidationCaption);
    const uint8_t* now = m_image.Bytes().data();
    auto changed = [&](int offset) {
        return !std::equal(now + offset, now + offset + 4, before.Bytes().data() + offset);
    };
    // The addresses travel as text too: written again only when the operator changed them.
    if (changed(kLocalIp))
        PutText(m_image, kLocalText, PlainDotted(now + kLocalIp));
    if (changed(kGateway))
        PutText(m_image, kGatewayText, FixedDotted(now + kGateway));
    if (changed(kMask))
        PutText(m_image, kMaskText, FixedDotted(now + kMask));
    for (int i = 0; i < kIpOutRecords; ++i) {
        const int record = kIpOutRecordSize * i;
        if (changed(record + kDestIp))
            PutText(m_image, record + kDestText, PlainDotted(now + record + kDestIp));
    }
    // The byte says the choice shown: 0 MPTS, 1 SPTS (also where the device had sent another non-zero value).
    m_image.Bytes()[kSpts] = m_spts ? 1 : 0;
    if (m_variant->records == 0)
        return Request(kCmdIpOutSet, BlockPayload(), PageStep::Wait::kBeginShort);
    const auto& b = m_image.Bytes();
    return Request(kCmdIpOutSet,
                   std::vector<uint8_t>(b.begin(), b.begin() + kIpOutRecordSize * m_variant->records),
                   PageStep::Wait::kBeginShort);
}

std::vector<uint8_t> IpOutLogic::BlockPayload() const {
    std::vector<uint8_t> out = m_block;
    for (const Piece& p : BlockPieces(m_blockCount)) {
        const int size = std::min(p.size, kIpOutBlockSize - p.block);  // the last entry is cut short
        if (size > 0)
            std::copy_n(m_image.Bytes().begin() + p.image, size, out.begin() + p.block);
    }
    return out;
}

void IpOutLogic::TakeRecords(const ReplyView& reply) {
    // Whole records only, and never more than the page keeps.
    const int count = std::min(reply.PayloadLength() / kIpOutRecordSize, kIpOutRecords);
    m_image.Load(reply.Reader().Sub(0, size_t(count * kIpOutRecordSize)));
    // The gateway and the mask are read from their fixed-width texts.
    const ByteReader r = m_image.Reader();
    for (const auto& [text, value] : {std::pair{kGatewayText, kGateway}, std::pair{kMaskText, kMask}}) {
        uint8_t address[4] = {};
        if (ParseDottedIp(r.Text(size_t(text), kTextField), address) == 0)
            std::copy_n(address, 4, m_image.Bytes().begin() + value);
    }
}

void IpOutLogic::TakeBlock(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    r.Bytes(0, std::min<size_t>(r.Size(), kIpOutBlockSize), m_block.data());
    const uint8_t count = r.U8Or(0);
    if (count == 4 || count == 8 || count == 12 || count == 16)
        m_blockCount = count;
    for (const Piece& p : BlockPieces(m_blockCount)) {
        const size_t size = size_t(std::min(p.size, kIpOutBlockSize - p.block));
        if (r.Has(size_t(p.block), size))
            r.Bytes(size_t(p.block), size, m_image.Bytes().data() + p.image);
    }
}

PageStep IpOutLogic::HandleReply(const ReplyView& reply) {
    if (!Awaits(reply))
        return {};
    m_awaited = -1;
    if (reply.Command() != kCmdIpOutGet || !m_variant)
        return PageStep::End(PageStep::kRefreshNone);
    m_replyFlags = reply.B();
    // Every read shows the default destination first where the reply says nothing.
    for (int i = 0; i < kIpOutRecords; ++i) {
        const int record = kIpOutRecordSize * i;
        const uint8_t address[4] = {224, 2, 2, 2};
        std::copy_n(address, 4, m_image.Bytes().begin() + record + kDestIp);
        PutText(m_image, record + kDestText, PlainDotted(address));
        ByteWriter(m_image.Bytes()).U16LE(size_t(record + kDestPort), 1234);
        m_image.Bytes()[size_t(record + kEnabled)] = 0;
    }
    if (m_variant->records == 0)
        TakeBlock(reply);
    else
        TakeRecords(reply);
    m_spts = m_image.Bytes()[kSpts] != 0 || m_sptsFixed;
    return PageStep::End();
}

}  // namespace nms
