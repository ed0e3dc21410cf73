// The TS-over-IP output settings without windows: the device's local network settings (address, mask,
// gateway, MAC, source port), MPTS or SPTS, and 1 to 16 destinations (address, port, enabled), read with
// 0x58 and written with 0x59 in one of two wire forms. The record form carries 159-byte records (the local
// settings in record 0, destination n in record n-1); the block form a 287-byte block. The page keeps
// the 16 records as its image; a block reply is copied into them and a block request built back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"

namespace nms {

enum : uint8_t {
    kCmdIpOutGet = 0x58,
    kCmdIpOutSet = 0x59,
};

constexpr int kIpOutRecordSize = 159;
constexpr int kIpOutRecords = 16;
constexpr int kIpOutImageSize = kIpOutRecordSize * kIpOutRecords;
constexpr int kIpOutBlockSize = 287;

struct IpOutVariant {
    int pageParam;
    int destinations;  // 0: the count the device reports (block form)
    int records;       // records of the request; 0: the block form
    bool mptsShown;
    const char* firstEnableCaption;
    const char* groupCaption;
};
// Null for a PageParam the page does not know (its Set says "Error!").
const IpOutVariant* IpOutVariantOf(int pageParam);

// Keys: "ip", "mask", "gateway", "srcPort", "mac", then "ip1".."ip16", "port1".."port16",
// "enable1".."enable16".
const FieldTable& IpOutTable();

class IpOutLogic : public BlockLogic {
public:
    void Bind(int pageParam, uint16_t typeCode);
    const IpOutVariant* Variant() const { return m_variant; }
    const ParamBlock& Image() const { return m_image; }

    // The destinations the page offers now (the rows SPTS shows).
    int Destinations() const;
    bool MptsShown() const { return m_variant && m_variant->mptsShown && !m_sptsFixed; }
    bool Spts() const { return m_spts; }
    // The visible rows: row 1, and with SPTS the rows of the destinations.
    int VisibleRows() const { return m_spts ? Destinations() : 1; }
    void SelectSpts(bool spts) { m_spts = spts || m_sptsFixed; }

    // The page has no selector. A refusal comes in the page's validation box ("Warning").
    PageStep Get(std::optional<int> selection) override;
    PageStep Set(const FormInputs& inputs, std::optional<int> selection) override;
    PageStep HandleReply(const ReplyView& reply) override;

private:
    void TakeRecords(const ReplyView& reply);
    void TakeBlock(const ReplyView& reply);
    std::vector<uint8_t> BlockPayload() const;

    const IpOutVariant* m_variant = nullptr;
    bool m_sptsFixed = false;
    ParamBlock m_image{kIpOutImageSize};
    std::vector<uint8_t> m_block = std::vector<uint8_t>(kIpOutBlockSize, 0);
    int m_blockCount = 4;
    uint8_t m_replyFlags = 0;  // header byte 2 of the last reply
    bool m_spts = false;
};

}  // namespace nms
