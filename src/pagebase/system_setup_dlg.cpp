#include "pagebase/system_setup_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "pagebase/icon_button.h"

namespace nms {

CSystemSetupDlg::CSystemSetupDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("System Setup");
    m_span = new QLineEdit(this);
    m_ok = new CIconButton("OK", this);
    m_cancel = new CIconButton("Cancel", this);
    m_ok->SetIcon(153, 0, 32, 32);
    m_cancel->SetIcon(155, 0, 32, 32);
    for (CIconButton* b : {m_ok, m_cancel})
        b->setMinimumSize(90, 40);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Query Time Span", this), 0, 0);
    grid->addWidget(m_span, 0, 1);
    grid->addWidget(new QLabel("Minute", this), 0, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

}  // namespace nms
