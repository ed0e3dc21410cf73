// "Add Element": a new elementary stream of a PMT with its descriptors.
#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

#include "pages/psi/psi_model.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace nms {

class CAddElementDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAddElementDlg(QWidget* parent = nullptr);

    void OnAddDescriptor();
    void OnOK();

    QLineEdit* m_typeEdit;
    QLineEdit* m_pidEdit;
    QLineEdit* m_descriptorTypeEdit;
    QLineEdit* m_descriptorDataEdit;
    QTreeWidget* m_list;
    QPushButton* m_addDescriptorButton;
    QPushButton* m_okButton;

    // Results after OK.
    uint8_t m_streamType = 0;
    uint16_t m_pid = 0;
    std::vector<PsiDescriptorRow> m_descriptors;
    int m_total = 0;  // bytes of all descriptors: the es_info_length
};

}  // namespace nms
