#include "pagebase/all_config_dlg.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace nms {

CAllConfigDlg::CAllConfigDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("All Config");
    m_saveAll = new QPushButton("Save All Config.", this);
    m_defaultAll = new QPushButton("Default All Config.", this);
    m_backupAll = new QPushButton("Backup All Config.", this);
    m_exit = new QPushButton("Exit", this);
    for (QPushButton* b : {m_saveAll, m_defaultAll, m_backupAll})
        b->setEnabled(false);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    for (QPushButton* b : {m_saveAll, m_defaultAll, m_backupAll, m_exit})
        layout->addWidget(b);
}

}  // namespace nms
