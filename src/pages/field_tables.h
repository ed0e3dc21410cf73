// The field tables of each page family, gathered for the tests and fuzzers that cover every table.
#pragma once

#include <vector>

#include "pagebase/field_table.h"

namespace nms {

void AppendEncoderFieldTables(std::vector<NamedFieldTable>& out);
void AppendModulatorFieldTables(std::vector<NamedFieldTable>& out);
void AppendReceiverFieldTables(std::vector<NamedFieldTable>& out);
void AppendIrdFieldTables(std::vector<NamedFieldTable>& out);

}  // namespace nms
