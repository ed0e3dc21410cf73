// "AC Table": the access-criteria table of one CAS slot of a scrambler page, as a list of entries that the
// operator adds, edits, deletes, loads from and saves to an "*.ac" file. The dialog works on its own copy
// of the slot's table image and ECM block; after OK the packed copies replace the page's, after Cancel the
// page keeps its own.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "pages/scrambler/ac_table.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace nms {

class CAcEditDlg;

class CAcListDlg : public QDialog {
    Q_OBJECT
public:
    CAcListDlg(int slot, const AcTableImage& image, const AcEcmBlock& ecm, QWidget* parent = nullptr);

    void OnInitDialog();
    void FillList();
    // Packs the list into the dialog's image and ECM block; false when it does not fit.
    bool PackList();
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnLoad();
    void OnSave();
    void OnOK();
    int exec() override;

    // The entry dialog's run; tests replace it (true: OK).
    std::function<bool(CAcEditDlg& dialog)> m_runEdit;

    const AcTableImage& Image() const { return m_image; }
    const AcEcmBlock& Ecm() const { return m_ecm; }
    const std::vector<AcRecord>& Records() const { return m_records; }

    QTreeWidget* m_list;
    QLabel* m_title;

private:
    int SelectedRow() const;
    void AppendRow(int number, const AcRecord& record, const QString& dataText, const QString& ecmText);

    int m_slot;
    AcTableImage m_image;
    AcEcmBlock m_ecm;
    std::vector<AcRecord> m_records;
};

}  // namespace nms
