#include "pages/scrambler/ac_dlg_rows.h"

#include <QTreeWidget>
#include <string>

#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {

void DeleteAcRow(QTreeWidget* list, std::vector<AcRecord>* records, int row) {
    if (row < 0 || row >= int(records->size()))
        return;
    const std::string text = "Sure to delete '" + GbkToUtf8((*records)[size_t(row)].name) + "' ?";
    if (ShowMessageBox(text, "Sure to delete", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
        return;
    records->erase(records->begin() + row);
    delete list->takeTopLevelItem(row);
    for (int r = row; r < list->topLevelItemCount(); ++r)
        list->topLevelItem(r)->setText(0, QString::number(r + 1));
}

bool ChooseAcFileToLoad(std::vector<uint8_t>* bytes) {
    const FileRequest request{false, std::string(), kAcFileFilter, "ac", std::string()};
    const std::string path = Prompt().ChooseFile(request);
    if (path.empty() || !ReadAcFileBytes(path, bytes))
        return false;
    return bytes->size() <= size_t(kAcFileSize) ||
           ShowMessageBox(kAcFileTooLongQuestion, "File confirm",
                          MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
}

}  // namespace nms
