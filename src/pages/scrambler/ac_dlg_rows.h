// What the two AC table dialogs (the scrambler's list and the modulator's table) do alike with their rows
// and files.
#pragma once

#include <cstdint>
#include <vector>

#include "pages/scrambler/ac_table.h"

class QTreeWidget;

namespace nms {

// Asks before deleting row `row` of the list and its record, then numbers the rows after it again.
void DeleteAcRow(QTreeWidget* list, std::vector<AcRecord>* records, int row);

// Lets the operator choose an AC file and reads it; a file longer than an AC file is taken only when the
// operator agrees. False when nothing is to be loaded.
bool ChooseAcFileToLoad(std::vector<uint8_t>* bytes);

}  // namespace nms
