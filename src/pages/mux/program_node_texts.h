// The tree nodes that the input channel page builds from program records.
#pragma once

#include "pages/mux/program_record.h"
#include "pages/mux/program_tree.h"

namespace nms {

// A program of the input tree: "%d %s" (index, input name), service id, PMT and PCR PIDs, elements (for
// counts 1..31) with their input PIDs, and the CA entries (counts 1..4) with the input ECM PIDs. The value
// nodes carry their values as item data. The transcoding multiplexer's records show no CA nodes.
ProgramTreeNode InputProgramNode(const ProgramRecord& record, int index);
ProgramTreeNode InputProgramNode(const TranscodeProgramRecord& record, int index);

// A program of the output tree: the same with the output values and the output name (or the input name
// when it is empty).
ProgramTreeNode OutputProgramNode(const ProgramRecord& record, int index);
ProgramTreeNode OutputProgramNode(const TranscodeProgramRecord& record, int index);

// An output program rebuilt after a modify reply: as OutputProgramNode, but the CA entries sit directly under
// the program, numbered from 0, with decimal values.
ProgramTreeNode ModifiedProgramNode(const ProgramRecord& record, int index);

// "CA Info" of an input channel: count entries of the channel table's CA list.
ProgramTreeNode ChannelCaInfoNode(const ChannelProgramTable& table, int count);

}  // namespace nms
