#include "pages/receiver/multi_ip_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

#include "devices/device_record.h"
#include "pagebase/form_binder.h"
#include "pagebase/lamp.h"
#include "pages/receiver/tuner_records.h"
#include "platform/ip_address_edit.h"

namespace nms {
namespace {

constexpr int kStatesTimerId = 66;

void SetIp(CIPAddressCtrl* c, const std::array<uint8_t, 4>& a) {
    c->SetAddress(a[0], a[1], a[2], a[3]);
}
std::array<uint8_t, 4> GetIp(const CIPAddressCtrl* c) {
    std::array<uint8_t, 4> a{};
    c->GetAddress(a[0], a[1], a[2], a[3]);
    return a;
}

}  // namespace

CMultiIPout::CMultiIPout(QWidget* parent) : CRequestPageView(parent) {
    m_logic = std::make_unique<MultiIpLogic>(0, 0);
    auto* local = new QGroupBox("Local IP Adress", this);
    auto* lg = new QGridLayout(local);
    m_sourceIp = new CIPAddressCtrl(local);
    m_mask = new CIPAddressCtrl(local);
    m_gateway = new CIPAddressCtrl(local);
    m_sourcePort = new QLineEdit(local);
    m_mac = new QLineEdit(local);
    // A whole address shows, whatever room the channel count takes in the row.
    KeepWideEnoughFor(m_mac, "00-00-00-00-00-00");
    m_channelCount = new QLineEdit(local);
    m_channelCount->setMaximumWidth(60);
    m_generateMac = new QPushButton("Generate MAC", local);
    lg->addWidget(new QLabel("IP Adress:", local), 0, 0);
    lg->addWidget(m_sourceIp, 0, 1);
    lg->addWidget(new QLabel("Source Port:", local), 0, 2);
    lg->addWidget(m_sourcePort, 0, 3);
    lg->addWidget(new QLabel("MAC Adress:", local), 0, 4);
    lg->addWidget(m_mac, 0, 5);
    lg->addWidget(new QLabel("Subnet Mask:", local), 1, 0);
    lg->addWidget(m_mask, 1, 1);
    lg->addWidget(new QLabel("Gateway:", local), 1, 2);
    lg->addWidget(m_gateway, 1, 3);
    lg->addWidget(m_generateMac, 1, 5);
    lg->addWidget(m_channelCount, 1, 6);
    m_rtp = new QRadioButton("SPTS", this);
    m_udp = new QRadioButton("MPTS", this);
    m_rtp->hide();
    m_udp->hide();
    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    m_tabs = new QTabBar(this);

    auto* columns = new QHBoxLayout;
    std::array<QGridLayout*, 2> grids{};
    for (int c = 0; c < 2; ++c) {
        auto* g = new QGridLayout;
        grids[size_t(c)] = g;
        m_headings[size_t(2 * c)] = new QLabel("Destination IP:", this);
        m_headings[size_t(2 * c + 1)] = new QLabel("Port:", this);
        m_enableAll[size_t(c)] = new QCheckBox("Enable", this);
        m_lockHeadings[size_t(c)] = new QLabel("Lock", this);
        m_ipCopy[size_t(c)] = new QPushButton("IP Copy", this);
        g->addWidget(m_headings[size_t(2 * c)], 0, 1);
        g->addWidget(m_headings[size_t(2 * c + 1)], 0, 2);
        g->addWidget(m_enableAll[size_t(c)], 0, 3);
        g->addWidget(m_lockHeadings[size_t(c)], 0, 4);
        for (int r = 0; r < 8; ++r) {
            const size_t i = size_t(8 * c + r);
            m_numbers[i] = new QLabel(QString::asprintf("%02d", int(i) + 1), this);
            m_ips[i] = new CIPAddressCtrl(this);
            m_ips[i]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
            m_ports[i] = new QLineEdit(this);
            m_ports[i]->setMaximumWidth(70);
            m_enables[i] = new QCheckBox("Enable", this);
            m_states[i] = MakeLamp(this);
            g->addWidget(m_numbers[i], r + 1, 0);
            g->addWidget(m_ips[i], r + 1, 1);
            g->addWidget(m_ports[i], r + 1, 2);
            g->addWidget(m_enables[i], r + 1, 3);
            g->addWidget(m_states[i], r + 1, 4);
        }
        g->addWidget(m_ipCopy[size_t(c)], 9, 1);
        g->setColumnStretch(5, 1);
        columns->addLayout(g);
    }
    m_left = grids[0];
    columns->addStretch();
    auto* choices = new QHBoxLayout;
    choices->addWidget(m_rtp);
    choices->addWidget(m_udp);
    choices->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addWidget(local, 0, Qt::AlignLeft);
    page->addLayout(choices);
    page->addWidget(m_tabs, 0, Qt::AlignLeft);
    page->addLayout(columns);
    page->addLayout(buttons);
    page->addStretch();
    connect(m_get, &QPushButton::clicked, this, [this] { OnGet(); });
    connect(m_set, &QPushButton::clicked, this, &CMultiIPout::OnSet);
    connect(m_generateMac, &QPushButton::clicked, this, &CMultiIPout::OnGenerateMac);
    connect(m_enableAll[0], &QCheckBox::clicked, this, &CMultiIPout::OnEnableAllLeft);
    connect(m_enableAll[1], &QCheckBox::clicked, this, &CMultiIPout::OnEnableAllRight);
    connect(m_ipCopy[0], &QPushButton::clicked, this, &CMultiIPout::OnIpCopyRows1To8);
    connect(m_ipCopy[1], &QPushButton::clicked, this, &CMultiIPout::OnIpCopyRows9To16);
    // The bar's index is only ever set by the program with its signals blocked: a change is the operator's.
    connect(m_tabs, &QTabBar::currentChanged, this, &CMultiIPout::OnTabChange);
}

CMultiIPout::~CMultiIPout() = default;

void CMultiIPout::OnInitialUpdate() {
    m_logic = std::make_unique<MultiIpLogic>(m_pageParam, m_device ? m_device->typeCode : 0);
    const bool input = m_logic->InputPage();
    for (QLabel* lamp : m_states)
        SetLamp(lamp, false);
    m_channelCount->setVisible(input);
    m_rtp->setVisible(m_pageParam == 101);
    m_udp->setVisible(m_pageParam == 101);
    m_rtp->setText(m_pageParam == 101 ? "RTP" : "SPTS");
    m_udp->setText(m_pageParam == 101 ? "UDP" : "MPTS");
    for (size_t i = 0; i < m_enables.size(); ++i)
        m_enables[i]->setText("Enable");
    if (m_pageParam == 35) {
        // The right column's checks of rows 9-12 stand beside rows 1-4 as their "Encrypted" flags.
        for (int i = 0; i < 4; ++i) {
            m_enables[size_t(8 + i)]->setText("Encrypted");
            if (m_left->indexOf(m_enables[size_t(8 + i)]) < 0)
                m_left->addWidget(m_enables[size_t(8 + i)], i + 1, 5);
        }
        m_udp->setChecked(true);
    }
    if (input)
        SetTimer(kStatesTimerId, kIpStatePollMs);
    ShowTab(0, false);
}

void CMultiIPout::ApplyLayout() {
    const MultiIpRowLayout l = m_logic->Layout();
    const bool input = m_logic->InputPage();
    const bool enc = m_pageParam == 35;
    for (int r = 0; r < kIpRowsPerTab; ++r) {
        const size_t i = size_t(r);
        const bool shown = r < 8 ? r < l.leftRows : l.right;
        m_numbers[i]->setVisible(shown);
        m_ips[i]->setVisible(shown);
        m_ports[i]->setVisible(shown);
        m_states[i]->setVisible(shown && input);
        m_enables[i]->setVisible((shown && input) || (enc && (r < 4 || (r >= 8 && r < 12))));
    }
    m_headings[0]->setVisible(l.leftRows > 0);
    m_headings[1]->setVisible(l.leftRows > 0);
    m_headings[2]->setVisible(l.right);
    m_headings[3]->setVisible(l.right);
    m_ipCopy[1]->setVisible(l.right);
    m_enableAll[0]->setVisible(input && l.leftRows > 0);
    m_lockHeadings[0]->setVisible(input && l.leftRows > 0);
    m_enableAll[1]->setVisible(input && l.right);
    m_lockHeadings[1]->setVisible(input && l.right);
}

void CMultiIPout::ShowTab(int tab, bool rebuild) {
    const MultiIpForm f = m_logic->Show(tab, rebuild);
    {
        const QSignalBlocker block(m_tabs);
        const std::vector<std::string>& names = m_logic->Tabs();
        bool same = m_tabs->count() == int(names.size());
        for (int i = 0; same && i < m_tabs->count(); ++i)
            same = m_tabs->tabText(i).toStdString() == names[size_t(i)];
        if (!same) {
            while (m_tabs->count())
                m_tabs->removeTab(0);
            for (const std::string& n : names)
                m_tabs->addTab(QString::fromStdString(n));
        }
        m_tabs->setVisible(!names.empty());
        if (tab < m_tabs->count())
            m_tabs->setCurrentIndex(tab);
    }
    if (!m_logic->InputPage() && m_pageParam != 101) {
        m_rtp->setChecked(m_logic->Spts());
        m_udp->setChecked(!m_logic->Spts());
    }
    ApplyLayout();
    for (int r = 0; r < kIpRowsPerTab; ++r)
        m_numbers[size_t(r)]->setText(QString::asprintf("%02d", kIpRowsPerTab * tab + r + 1));
    SetIp(m_sourceIp, f.sourceIp);
    SetIp(m_mask, f.mask);
    SetIp(m_gateway, f.gateway);
    m_sourcePort->setText(QString::fromStdString(f.sourcePort));
    m_mac->setText(QString::fromStdString(f.mac));
    if (m_logic->InputPage()) {
        m_channelCount->setText(QString::fromStdString(f.channelCount));
        m_enableAll[0]->setChecked(f.enableAll[0]);
        m_enableAll[1]->setChecked(f.enableAll[1]);
    }
    if (m_pageParam == 101) {
        m_rtp->setChecked(f.rtp);
        m_udp->setChecked(!f.rtp);
    }
    for (int r = 0; r < kIpRowsPerTab; ++r) {
        const size_t i = size_t(r);
        SetIp(m_ips[i], f.rows[i].ip);
        m_ports[i]->setText(QString::fromStdString(f.rows[i].port));
        m_enables[i]->setChecked(f.rows[i].enable);
    }
}

MultiIpForm CMultiIPout::Form() const {
    MultiIpForm f;
    f.sourceIp = GetIp(m_sourceIp);
    f.mask = GetIp(m_mask);
    f.gateway = GetIp(m_gateway);
    f.sourcePort = m_sourcePort->text().trimmed().toStdString();
    f.mac = m_mac->text().toStdString();
    f.channelCount = m_channelCount->text().trimmed().toStdString();
    f.rtp = m_rtp->isChecked();
    for (int r = 0; r < kIpRowsPerTab; ++r) {
        const size_t i = size_t(r);
        f.rows[i].ip = GetIp(m_ips[i]);
        f.rows[i].port = m_ports[i]->text().trimmed().toStdString();
        f.rows[i].enable = m_enables[i]->isChecked();
    }
    return f;
}

bool CMultiIPout::StoreTab() {
    const std::string message = m_logic->Store(Form(), m_logic->Tab());
    if (message.empty())
        return true;
    Carry(PageStep::Message(message));
    return false;
}

bool CMultiIPout::DoDataExchange(bool collect) {
    if (collect)
        return StoreTab();
    ShowTab(m_logic->Tab(), false);
    return true;
}

void CMultiIPout::OnGenerateMac() {
    m_mac->setText(QString::fromStdString(MacTextFromNow()));
}

void CMultiIPout::OnSet() {
    // Every write carries a MAC made from the current time.
    OnGenerateMac();
    // A value that does not fit stops the write; the block keeps what it held.
    Carry(m_logic->Set(Form()));
}

void CMultiIPout::OnTabChange(int tab) {
    if (tab < 0 || tab == m_logic->Tab())
        return;
    if (!StoreTab()) {
        // The edits stay on the tab they were made on.
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(m_logic->Tab());
        return;
    }
    m_logic->SetTab(tab);
    ShowTab(tab, false);
}

void CMultiIPout::OnEnableAll(bool right, bool checked) {
    const int first = right ? 8 : 0;
    if (checked) {
        if (const int channel = m_logic->EnableAllBlockedAt(right, m_logic->Tab())) {
            m_enableAll[right ? 1 : 0]->setChecked(false);
            Carry(PageStep::Message(
                QString::asprintf("please use IP port from 1 to %d at first!", channel).toStdString()));
            return;
        }
    }
    for (int r = first; r < first + 8; ++r)
        m_enables[size_t(r)]->setChecked(checked);
}

void CMultiIPout::OnIpCopy(bool right) {
    const int first = right ? 8 : 0;
    const auto source = GetIp(m_ips[size_t(first)]);
    for (int r = first + 1; r < first + 8; ++r) {
        auto a = GetIp(m_ips[size_t(r)]);
        a[0] = source[0], a[1] = source[1], a[2] = source[2];
        SetIp(m_ips[size_t(r)], a);
    }
}

void CMultiIPout::OnPageTimer(int id) {
    // The state poll waits while a Get or Set is under way, so it never takes that request's send slot.
    if (id == kStatesTimerId && m_logic->InputPage() && DeviceOnline())
        Carry(PageStep::Poll(kCmdIpChannelStates));
    CFormTemplateView::OnTimer(id);
}

void CMultiIPout::OnOtherReply(const ReplyView& reply) {
    std::array<bool, kIpRowsPerTab> states{};
    if (reply.Command() == kCmdIpChannelStates && m_logic->InputPage() &&
        m_logic->ChannelStates(reply, m_logic->Tab(), &states))
        for (size_t i = 0; i < states.size(); ++i)
            SetLamp(m_states[i], states[i]);
}

void CMultiIPout::BeforeReplyStep(const ReplyView&, const PageStep& step) {
    if (step.refresh & kMultiIpRefreshRebuild) {
        m_logic->SetTab(0);
        ShowTab(0, true);
    }
}

}  // namespace nms
