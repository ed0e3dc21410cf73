// One transport-stream row of the NIT editor as the operator fills it in: the two ids, one delivery-system
// descriptor, an optional logical channel number descriptor (plain 0x83 or NORDIG 0x87) and private
// descriptors. Checks the typed texts, turns them into the row's descriptor bytes and reads those bytes back
// into lists; also the texts the row shows in the transport-stream list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pages/psi/nit_table.h"

namespace nms {

enum NitDelivery : int { kNitNoDelivery = -1, kNitCable = 0, kNitSatellite = 1, kNitTerrestrial = 2 };

// One row of the LCN list; the channel-list fields belong to the NORDIG (0x87) form.
struct LcnRow {
    uint16_t serviceId = 0;
    uint16_t lcn = 0;
    int channelListId = 0;        // 0..255
    std::string channelListName;  // device bytes, at most kLcnMaxChannelListName
    uint32_t countryCode = 0;     // 24 bits
};
constexpr int kLcnMaxChannelListName = 254;  // its length byte counts the terminating zero too

// The dialog's fields. Indexes are rows of the DeliveryValueLabels tables, -1 when nothing is selected.
struct NitTsForm {
    std::string tsId = "1";
    std::string onid = "0";
    std::string frequency = "307";
    std::string symbolRate;
    int delivery = kNitCable;
    int modulation = -1;
    int polarization = -1;
    int bandwidth = -1;
    int transmissionMode = -1;
    int guardInterval = -1;
    int fec = -1;
    bool lcnOn = false;
    bool nordig87 = false;
    bool nordigV21 = false;
    std::vector<LcnRow> lcnRows;
    bool privateOn = false;
    std::vector<NetworkDescriptorRow> privateRows;  // tag and upper-case hexadecimal data
};

// The OK checks in their order: returns the first failure's message, or an empty text when every check
// passed; then the four texts hold their stored forms ("0346.0000(MHz)", "6.8750", "%04X" ids).
std::string CheckNitTsForm(NitTsForm& form);

// Writes the descriptors of a checked form into entry: the delivery descriptor, the LCN descriptor (when
// on and not empty), the private descriptors (when on). Bytes the form does not give (the satellite
// orbital position and FEC) keep what entry held there. Returns a message, and leaves entry untouched,
// when the descriptors do not fit (a descriptor over 255 bytes, or more than 510 bytes in all).
std::string BuildNitTsEntry(const NitTsForm& form, NitTsEntry& entry);

// What an entry holds besides its delivery descriptor: the LCN rows with their form, the private rows.
struct NitTsEntryLists {
    bool lcnOn = false;
    bool nordig87 = false;
    bool nordigV21 = false;
    std::vector<LcnRow> lcnRows;
    bool privateOn = false;
    std::vector<NetworkDescriptorRow> privateRows;
};
NitTsEntryLists ReadNitTsEntry(const NitTsEntry& entry);

// The dialog's presets for a new row after the given rows.
NitTsForm NewRowPreset(const std::vector<NitTsRow>& rows);
// The dialog's fields for editing row; false when its delivery system is none of the three (a row read
// without a delivery descriptor), which opens no dialog.
bool FormFromRow(const NitTsRow& row, NitTsForm* form);
// Writes the list texts of a checked form into row: all of them for a new row; when editing, columns the
// delivery system does not write keep their text.
void FillRowColumns(const NitTsForm& form, NitTsRow& row);

}  // namespace nms
