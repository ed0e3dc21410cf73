#include "pages/mux/program_node_texts.h"

#include <cstdio>

#include "pagebase/text_conversion.h"
#include "pages/mux/stream_type_labels.h"

namespace nms {
namespace {

std::string Format(const char* format, int value) {
    char buf[48];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

std::string ProgramTitle(int index, const std::string& name) {
    return std::to_string(index) + " " + name;
}

// Title, service id, PMT, PCR and elements; data on the value nodes only in the input tree.
template <class Record>
ProgramTreeNode ProgramBody(const Record& r, int index, bool input) {
    ProgramTreeNode node(ProgramTitle(index, input ? r.InputName() : r.ShownOutputName()), index);
    const int sid = input ? r.InputServiceId() : r.OutputServiceId();
    const int pmt = input ? r.InputPmtPid() : r.OutputPmtPid();
    const int pcr = input ? r.InputPcrPid() : r.OutputPcrPid();
    node.Add("Service ID:" + std::to_string(sid), input ? sid : 0);
    node.Add(Format("PMT PID:0x%x", pmt), input ? pmt : 0);
    node.Add(Format("PCR PID:0x%x", pcr), input ? pcr : 0);
    const int count = r.ElementCount();
    if (count >= 1 && count < kMaxElements) {
        for (int i = 0; i < count; ++i) {
            auto& e = node.Add(StreamTypeLabels::Tree(r.ElementStreamType(i)));
            e.Add(Format("PID:0x%x", input ? r.ElementInputPid(i) : r.ElementOutputPid(i)));
        }
    }
    return node;
}

void AddCaNodes(ProgramTreeNode& node, const ProgramRecord& r, bool input) {
    const int count = r.CaCount();
    if (count < 1 || count > kMaxCaEntries)
        return;
    auto& ca = node.Add("CA");
    for (int k = 0; k < count; ++k) {
        auto& entry = ca.Add(Format("CA %d", k + 1));
        entry.Add(Format("CA system id: 0x%x", r.CaSystemId(k)));
        const int pid = input ? r.InputEcmPid(k) : r.OutputEcmPid(k);
        entry.Add(Format("CA PID: 0x%x", pid), input ? pid : 0);
    }
}

}  // namespace

ProgramTreeNode InputProgramNode(const ProgramRecord& record, int index) {
    ProgramTreeNode node = ProgramBody(record, index, true);
    AddCaNodes(node, record, true);
    return node;
}

ProgramTreeNode InputProgramNode(const TranscodeProgramRecord& record, int index) {
    return ProgramBody(record, index, true);
}

ProgramTreeNode OutputProgramNode(const ProgramRecord& record, int index) {
    ProgramTreeNode node = ProgramBody(record, index, false);
    AddCaNodes(node, record, false);
    return node;
}

ProgramTreeNode OutputProgramNode(const TranscodeProgramRecord& record, int index) {
    return ProgramBody(record, index, false);
}

ProgramTreeNode ModifiedProgramNode(const ProgramRecord& record, int index) {
    ProgramTreeNode node = ProgramBody(record, index, false);
    // The CA entries go with the element nodes: none for a record whose element count shows no elements.
    const int elements = record.ElementCount();
    const int count = record.CaCount();
    if (elements >= 1 && elements < kMaxElements && count >= 1 && count <= kMaxCaEntries) {
        for (int k = 0; k < count; ++k) {
            auto& entry = node.Add(Format("CA %d", k));
            entry.Add(Format("CA system id: %d", record.CaSystemId(k)));
            entry.Add(Format("CA PID: %d", record.OutputEcmPid(k)));
        }
    }
    return node;
}

ProgramTreeNode ChannelCaInfoNode(const ChannelProgramTable& table, int count) {
    ProgramTreeNode info("CA Info");
    for (int k = 0; k < count && k < kMaxCaEntries; ++k) {
        auto& entry = info.Add(Format("CA %d", k + 1));
        entry.Add(Format("CA system ID:0x%x", table.CaSystemId(k)));
        entry.Add(Format("CA PID:0x%x", table.CaPid(k)));
    }
    return info;
}

}  // namespace nms
