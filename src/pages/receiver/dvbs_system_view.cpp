#include "pages/receiver/dvbs_system_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

#include "pagebase/field_table.h"
#include "pagebase/text_conversion.h"
#include "pages/receiver/tuner_grid.h"
#include "platform/ip_address_edit.h"
#include "platform/prompt.h"

namespace nms {
CDVBSSystemView::CDVBSSystemView(QWidget* parent) : CRequestPageView(parent) {
    m_logic = std::make_unique<DvbsSystemLogic>(0);
    m_grid = new TunerGrid(this);
    m_ipArea = new QGroupBox(this);
    auto* ip = new QGridLayout(m_ipArea);
    m_ip = new CIPAddressCtrl(m_ipArea);
    m_port = new QLineEdit(m_ipArea);
    m_mac = new QLineEdit(m_ipArea);
    m_generateMac = new QPushButton("Generate MAC", m_ipArea);
    ip->addWidget(new QLabel("IP Address", m_ipArea), 0, 0);
    ip->addWidget(m_ip, 0, 1);
    ip->addWidget(new QLabel("Port:", m_ipArea), 1, 0);
    ip->addWidget(m_port, 1, 1);
    ip->addWidget(new QLabel("MAC Adress:", m_ipArea), 2, 0);
    ip->addWidget(m_mac, 2, 1);
    ip->addWidget(m_generateMac, 2, 2);
    m_ipArea->hide();
    TunerGrid::LayOutPage(this, m_grid, m_ipArea, &m_get, &m_set);
    connect(m_get, &QPushButton::clicked, this, [this] { OnGet(); });
    connect(m_set, &QPushButton::clicked, this, &CDVBSSystemView::OnSet);
    connect(m_generateMac, &QPushButton::clicked, this, &CDVBSSystemView::OnGenerateMac);
    // The bar's index is only ever set by the program with its signals blocked: a change is the operator's.
    connect(m_grid->Tabs(), &QTabBar::currentChanged, this, &CDVBSSystemView::OnSelChangeTab);
}

CDVBSSystemView::~CDVBSSystemView() = default;

void CDVBSSystemView::SetDevice(DeviceRecord* device) {
    SetDevice(*this, device);
}

void CDVBSSystemView::SetDevice(CFormTemplateView& page, DeviceRecord* device) {
    page.CFormTemplateView::SetDevice(device);
}

void CDVBSSystemView::OnTimer(CFormTemplateView& page, int id) {
    page.CFormTemplateView::OnTimer(id);
}

void CDVBSSystemView::OnInitialUpdate() {
    if (m_logic->Variant().pageParam != m_pageParam)
        m_logic = std::make_unique<DvbsSystemLogic>(m_pageParam);
    m_logic->Reset();
    ApplyLayout();
    ShowRows();
}

void CDVBSSystemView::ApplyLayout() {
    const DvbsLayout l = m_logic->Layout();
    m_grid->SetCaption(TunerGrid::kFirst, l.cable ? "Constellation:" : "Polarization:");
    m_grid->FillColumn(TunerGrid::kFirst, l.cable ? kDvbsConstellationList : kPolarizationList);
    m_grid->SetColumnShown(TunerGrid::kLnb, l.lnb);
    m_grid->SetColumnShown(TunerGrid::kSecond, l.tone);
    m_grid->SetColumnShown(TunerGrid::kDiseqc, l.tone);
    m_grid->SetColumnShown(TunerGrid::kDisable, l.disable);
    m_grid->SetRowsShown(l.rows);
    m_ipArea->setVisible(l.ipArea);
    QTabBar* tabs = m_grid->Tabs();
    const QSignalBlocker block(tabs);
    if (l.tabs && tabs->count() != 2) {
        while (tabs->count())
            tabs->removeTab(0);
        tabs->addTab("Channel 1-8");
        tabs->addTab("Channel 8-16");
    }
    tabs->setVisible(l.tabs);
    if (l.tabs)
        tabs->setCurrentIndex(m_logic->Tab());
    m_grid->SetRowNumbers(1 + m_logic->Tab() * TunerGrid::kRows);
}

void CDVBSSystemView::ShowRows() {
    for (int r = 0; r < TunerGrid::kRows; ++r)
        m_grid->SetRow(r, ShowTunerRow(m_logic->Records(), m_logic->RecordOffset(r), true));
    m_grid->SetRowNumbers(1 + m_logic->Tab() * TunerGrid::kRows);
    if (m_logic->HasIpBlock()) {
        const auto a = DvbsIpAddress(m_logic->IpBlock());
        m_ip->SetAddress(a[0], a[1], a[2], a[3]);
        m_port->setText(QString::number(DvbsIpPort(m_logic->IpBlock())));
        m_mac->setText(QString::fromStdString(FormatMacDashes(m_logic->IpBlock().data() + 6)));
    }
}

DvbsSystemForm CDVBSSystemView::Form() const {
    DvbsSystemForm f;
    for (int r = 0; r < TunerGrid::kRows; ++r)
        f.rows[size_t(r)] = m_grid->Row(r);
    m_ip->GetAddress(f.ip[0], f.ip[1], f.ip[2], f.ip[3]);
    f.port = m_port->text().trimmed().toStdString();
    f.mac = m_mac->text().toStdString();
    return f;
}

void CDVBSSystemView::FocusFailed() {
    const int field = m_logic->FailedField();
    if (field >= 0 && field < TunerGrid::kRows)
        m_grid->FocusRow(field);
    else if (field == kDvbsPortField)
        m_port->setFocus();
    else if (field == kDvbsMacField)
        m_mac->setFocus();
}

bool CDVBSSystemView::DoDataExchange(bool collect) {
    // The page collects its form only through Set and a tab switch (the logic takes it).
    if (!collect)
        ShowRows();
    return true;
}

void CDVBSSystemView::OnGenerateMac() {
    // The other fields keep what the operator typed: only the MAC text changes.
    m_mac->setText(QString::fromStdString(MacTextFromNow()));
}

void CDVBSSystemView::OnSet() {
    // The device takes the MAC made from the current time with every write.
    OnGenerateMac();
    if (!DeviceOnline())
        return;
    const PageStep step = m_logic->Set(Form());
    Carry(step);
    FocusFailed();
}

void CDVBSSystemView::OnSelChangeTab(int tab) {
    bool switched = false;
    const PageStep step = m_logic->SwitchTab(Form(), tab, &switched);
    if (!switched) {
        // A value that does not fit keeps its tab in front.
        const QSignalBlocker block(m_grid->Tabs());
        m_grid->Tabs()->setCurrentIndex(m_logic->Tab());
    } else {
        ShowRows();
    }
    Carry(step);
    FocusFailed();
}

void CDVBSSystemView::BeforeReplyStep(const ReplyView&, const PageStep& step) {
    // The layout first: refilled lists would lose the selections shown before them.
    if (step.refresh & kDvbsRefreshLayout)
        ApplyLayout();
}

}  // namespace nms
