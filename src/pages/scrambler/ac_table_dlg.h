// "AC Table" of the scrambling QAM modulators: one CAS slot's access-criteria table in the modulators' form
// (used length, count byte, entries). The dialog edits a copy; OK or Save packs the list into the page's
// image, Cancel leaves the image as it was.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "pages/scrambler/ac_table.h"

class QLabel;
class QTreeWidget;

namespace nms {

class CAcEditDlg;

class CAcTableDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAcTableDlg(QWidget* parent = nullptr);

    // Set before the run: the page's image and the table index 0..3.
    SasAcTableImage* m_image = nullptr;
    int m_table = 0;

    void OnInitDialog();
    void FillList();
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnLoad();
    void OnSave();
    void OnOK();
    int exec() override;

    std::function<bool(CAcEditDlg& dialog)> m_runEdit;

    const std::vector<AcRecord>& Records() const { return m_records; }
    QTreeWidget* m_list;
    QLabel* m_title;

private:
    int SelectedRow() const;
    void AppendRow(int number, const AcRecord& record);
    // Packs into the dialog's copy; false (with the message) when the list does not fit.
    bool Pack();

    SasAcTableImage m_copy{};
    std::vector<AcRecord> m_records;
    AcEcmBlock m_ecm{};  // the file's companion block: 512 ids of 1
};

}  // namespace nms
