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
namespace {

constexpr const char* kMacMessage = "MAC error,please input correct MAC address!";

}  // namespace

CDVBSSystemView::CDVBSSystemView(QWidget* parent) : CFormTemplateView(parent) {
    m_logic = std::make_unique<DvbsSystemLogic>(0);
    m_grid = new TunerGrid(this);
    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
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
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    auto* page = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(m_grid);
    row->addStretch();
    page->addLayout(row);
    page->addWidget(m_ipArea, 0, Qt::AlignLeft);
    page->addLayout(buttons);
    page->addStretch();
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

void CDVBSSystemView::OnTimer(int id) {
    OnTimer(*this, id);
}

void CDVBSSystemView::SetDevice(CFormTemplateView& page, DeviceRecord* device) {
    page.CFormTemplateView::SetDevice(device);
}

void CDVBSSystemView::OnTimer(CFormTemplateView& page, int id) {
    page.CFormTemplateView::OnTimer(id);
}

void CDVBSSystemView::OnGet(CFormTemplateView& page) {
    if (page.DeviceOnline())
        page.Carry(PageStep::Request(kCmdTunerRead, {}, PageStep::Wait::kBeginShort));
}

void CDVBSSystemView::OnGet() {
    OnGet(*this);
}

void CDVBSSystemView::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
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

bool CDVBSSystemView::TakeRows() {
    for (int r = 0; r < m_logic->RowsTaken(); ++r) {
        const std::string message = TakeTunerRow(m_grid->Row(r), m_logic->Records(), m_logic->RecordOffset(r),
                                                 m_logic->TakesDisable());
        if (!message.empty()) {
            Carry(PageStep::Message(message));
            m_grid->FocusRow(r);
            return false;
        }
    }
    return true;
}

bool CDVBSSystemView::TakeIpArea() {
    if (!m_logic->HasIpBlock())
        return true;
    std::vector<uint8_t>& block = m_logic->IpBlock();
    const std::string port = m_port->text().trimmed().toStdString();
    uint32_t value = 0;
    if (port.empty() || !IsDecimalText(port) || port.size() > 5 || (value = std::stoul(port)) > 65535) {
        Carry(PageStep::Message(IntegerRangeMessage(0, 65535)));
        m_port->setFocus();
        return false;
    }
    uint8_t mac[6];
    if (!ParseMacDashes(m_mac->text().toStdString(), mac)) {
        Carry(PageStep::Message(kMacMessage));
        m_mac->setFocus();
        return false;
    }
    m_ip->GetAddress(block[0], block[1], block[2], block[3]);
    block[4] = uint8_t(value >> 8);
    block[5] = uint8_t(value);
    std::copy(mac, mac + 6, block.begin() + 6);
    return true;
}

bool CDVBSSystemView::DoDataExchange(bool collect) {
    if (collect)
        return TakeRows() && TakeIpArea();
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
    if (!UpdateData(true))
        return;
    std::vector<uint8_t> payload;
    const std::string message = m_logic->BuildWrite(&payload);
    if (!message.empty()) {
        Carry(PageStep::Message(message));
        return;
    }
    Carry(PageStep::Request(kCmdTunerWrite, std::move(payload), PageStep::Wait::kBeginShort));
}

void CDVBSSystemView::OnSelChangeTab(int tab) {
    if (!m_logic->Variant().sixteen || tab == m_logic->Tab())
        return;
    if (!TakeRows()) {
        // A value that does not fit keeps its tab in front.
        const QSignalBlocker block(m_grid->Tabs());
        m_grid->Tabs()->setCurrentIndex(m_logic->Tab());
        return;
    }
    m_logic->SetTab(tab);
    ShowRows();
}

void CDVBSSystemView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    if (reply.Command() == kCmdTunerWrite) {
        Carry(PageStep::End(PageStep::kRefreshNone));
        return;
    }
    if (reply.Command() != kCmdTunerRead || !m_logic->ReadReply(reply))
        return;
    ApplyLayout();
    PageStep step = PageStep::End(PageStep::kRefreshNone);
    step.sendVersion = true;
    Carry(step);
    ShowRows();
}

}  // namespace nms
