#include "pages/encoder/ip_out_view.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "devices/device_record.h"
#include "pages/encoder/encoder_output_logic.h"
#include "platform/prompt.h"

namespace nms {

CEncoderIPOutView::CEncoderIPOutView(QWidget* parent)
    : CBlockPageView(parent), m_binder(std::make_unique<FormBinder>(IpOutTable(), this)) {
    FormBinder& b = *m_binder;
    auto* local = new QGroupBox("Local IP Adress", this);
    auto* localGrid = new QGridLayout(local);
    const std::vector<std::string> localKeys = {"ip", "mask", "gateway", "srcPort", "mac"};
    for (const std::string& key : localKeys) {
        b.Control(key)->setParent(local);
        b.Label(key)->setParent(local);
    }
    b.AddRows(localGrid, localKeys);
    static_cast<QLineEdit*>(b.Control("mac"))->setMaxLength(17);
    m_generateMac = new QPushButton("Generate MAC", local);
    localGrid->addWidget(m_generateMac, 5, 1);
    localGrid->setColumnStretch(2, 1);

    m_mpts = new QRadioButton("MPTS", this);
    m_spts = new QRadioButton("SPTS", this);
    m_mpts->setChecked(true);
    MakeGetSetButtons();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_mpts);
    buttons->addWidget(m_spts);
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();

    m_destinations = new QGroupBox("Destination IP Out Setting", this);
    auto* grid = new QGridLayout(m_destinations);
    for (int n = 1; n <= kIpOutRecords; ++n) {
        const std::string num = std::to_string(n);
        std::vector<QWidget*> row;
        for (const std::string& key : {"ip" + num, "port" + num, "enable" + num}) {
            b.Control(key)->setParent(m_destinations);
            row.push_back(b.Control(key));
            if (QLabel* label = b.Label(key)) {
                label->setParent(m_destinations);
                row.push_back(label);
            }
        }
        const int r = (n - 1) % 8, c = (n - 1) / 8 * 5;
        grid->addWidget(b.Control("ip" + num), r, c);
        grid->addWidget(b.Label("port" + num), r, c + 1);
        grid->addWidget(b.Control("port" + num), r, c + 2);
        grid->addWidget(b.Control("enable" + num), r, c + 3);
        static_cast<QLineEdit*>(b.Control("port" + num))->setMaxLength(5);
        m_rows.push_back(row);
    }
    grid->setColumnStretch(10, 1);

    auto* page = new QVBoxLayout(this);
    page->addWidget(local);
    page->addLayout(buttons);
    page->addWidget(m_destinations);
    page->addStretch();

    connect(m_generateMac, &QPushButton::clicked, this, &CEncoderIPOutView::OnGenerateMac);
    connect(m_mpts, &QRadioButton::clicked, this, [this] { OnMptsSpts(false); });
    connect(m_spts, &QRadioButton::clicked, this, [this] { OnMptsSpts(true); });
}

void CEncoderIPOutView::OnInitialUpdate() {
    m_logic.Bind(m_pageParam, m_device ? m_device->typeCode : 0);
    const IpOutVariant* v = m_logic.Variant();
    m_mpts->setVisible(m_logic.MptsShown());
    m_spts->setVisible(m_logic.MptsShown());
    static_cast<QCheckBox*>(m_binder->Control("enable1"))->setText(v ? v->firstEnableCaption : "Enable");
    m_destinations->setTitle(v ? v->groupCaption : "Destination IP Out Setting");
    ShowBlock();
}

void CEncoderIPOutView::ShowBlock() {
    m_binder->Show(m_logic.Image());
    ShowRows();
}

void CEncoderIPOutView::ShowRows() {
    (m_logic.Spts() ? m_spts : m_mpts)->setChecked(true);
    const int rows = m_logic.VisibleRows();
    for (size_t i = 0; i < m_rows.size(); ++i)
        for (QWidget* w : m_rows[i])
            w->setVisible(int(i) < rows);
}

void CEncoderIPOutView::OnGenerateMac() {
    const QDateTime now = QDateTime::currentDateTime();
    static_cast<QLineEdit*>(m_binder->Control("mac"))
        ->setText(
            QString::fromStdString(GeneratedMacText(now.date().month(), now.date().day(), now.time().hour(),
                                                    now.time().minute(), now.time().second())));
}

void CEncoderIPOutView::OnMptsSpts(bool spts) {
    m_logic.SelectSpts(spts);
    ShowRows();
}

}  // namespace nms
