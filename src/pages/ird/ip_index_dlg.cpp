#include "pages/ird/ip_index_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace nms {

CIpIndexDlg::CIpIndexDlg(const Inputs& in, QWidget* parent) : QDialog(parent) {
    const bool indexOn = (in.feature & 0x81) == 0x81;
    const bool filterOn = (in.feature & 0x82) == 0x82;
    auto* layout = new QVBoxLayout(this);

    auto* indexRow = new QHBoxLayout;
    m_index = new QComboBox(this);
    m_index->addItem("Disable");
    for (int k = 1; k <= in.maxIndex; ++k)
        m_index->addItem(QString("%1-SPTS").arg(k));
    m_index->setCurrentIndex(in.ipIndex >= 0 && in.ipIndex <= in.maxIndex ? in.ipIndex : -1);
    auto* indexLabel = new QLabel("IP Index:", this);
    indexRow->addWidget(indexLabel);
    indexRow->addWidget(m_index);
    indexRow->addStretch();
    layout->addLayout(indexRow);
    indexLabel->setVisible(indexOn);
    m_index->setVisible(indexOn);

    m_filter = new QGroupBox(QString::asprintf("Element Filter(PCR 0x%X):", in.pcrPid), this);
    auto* grid = new QGridLayout(m_filter);
    for (int s = 0; s < 16; ++s) {
        QString text = QString::number(s + 1);
        if (s == 0)
            text = QString::asprintf("1 0x%X", in.stream1Pid);
        else if (s == 1)
            text = QString::asprintf("2 0x%X", in.stream2Pid);
        m_streams[size_t(s)] = new QCheckBox(text, m_filter);
        m_streams[size_t(s)]->setChecked(in.filterMask >> s & 1);
        m_streams[size_t(s)]->setVisible(s < in.streams);
        grid->addWidget(m_streams[size_t(s)], s / 4, s % 4);
    }
    m_filter->setVisible(filterOn);
    layout->addWidget(m_filter);

    auto* buttons = new QHBoxLayout;
    auto* set = new QPushButton("Set", this);
    auto* cancel = new QPushButton("Cancel", this);
    buttons->addStretch();
    buttons->addWidget(set);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(set, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_streamCount = in.streams;
}

int CIpIndexDlg::IpIndex() const {
    return m_index->currentIndex();
}

uint16_t CIpIndexDlg::FilterMask() const {
    uint16_t mask = 0;
    for (int s = 0; s < 16 && s < m_streamCount; ++s)
        if (m_streams[size_t(s)]->isChecked())
            mask = uint16_t(mask | 1u << s);
    return mask;
}

}  // namespace nms
