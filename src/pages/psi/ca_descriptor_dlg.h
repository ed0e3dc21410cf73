// "Edit": the private data of the CA descriptors of one CAT or PMT section that a scrambler page read.
// The caller sets m_catFlag, copies the reply from packet byte 7 on into m_section (the section, then the
// packet's CRC; in PMT mode two bytes precede the section) and sets m_sectionLength, then runs exec().
// After OK m_section and m_sectionLength hold the rebuilt section with a new CRC_32.
#pragma once

#include <QDialog>
#include <cstdint>

#include "pages/psi/ca_descriptor_section.h"

class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace nms {

class CCaDescriptorDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCaDescriptorDlg(QWidget* parent = nullptr);

    int exec() override;
    // Builds the tree from the section; exec() runs it first.
    void OnInitDialog();
    void OnClickTree(QTreeWidgetItem* item);
    void OnOK();

    int m_catFlag = 0;  // 1: CAT, 0: PMT
    uint8_t m_section[kCaSectionBufferSize] = {};
    int m_sectionLength = 0;

    QTreeWidget* m_tree;
    QLineEdit* m_caSystemIdEdit;
    QLineEdit* m_caPidEdit;
    QPlainTextEdit* m_privateEdit;

    const CaDescriptorSection& Section() const { return m_parsed; }

private:
    // Checks the private data box; shows the message and returns false when it is wrong.
    bool CheckPrivateData();
    int EntryOf(const QTreeWidgetItem* item) const;

    CaDescriptorSection m_parsed;
    QTreeWidgetItem* m_current = nullptr;
    bool m_initialised = false;
};

}  // namespace nms
