#include "pages/mux/mux_misc_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pagebase/late_reply.h"
#include "platform/prompt.h"

namespace nms {
namespace {

constexpr const char* kTableNames[kTableCount] = {"PAT", "SDT", "NIT", "PMT", "CAT"};
constexpr const char* kChannelCaptions[kMuxOutputs] = {"Channel A", "Channel B", "Channel C", "Channel D"};

std::string Text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

}  // namespace

CMuxMiscView::CMuxMiscView(QWidget* parent) : CFormTemplateView(parent) {
    m_getA = new QPushButton("Get", this);
    m_setA = new QPushButton("Set", this);
    m_getB = new QPushButton("Get", this);
    m_setB = new QPushButton("Set", this);
    m_getAll = new QPushButton("Get", this);
    m_setAll = new QPushButton("Set", this);

    auto* grid = new QGridLayout;
    for (int o = 0; o < kMuxOutputs; ++o) {
        OutputControls& c = m_outputs[o];
        c.group = new QGroupBox(kChannelCaptions[o], this);
        c.bitrate = new QLineEdit(c.group);
        c.tsId = new QLineEdit(c.group);
        c.netId = new QLineEdit(c.group);
        c.ipInsert = new QLineEdit(c.group);
        c.realtime = new QLineEdit(c.group);
        c.realtime->setReadOnly(true);
        c.realtimeLabel = new QLabel("Bitrate", c.group);
        for (int t = 0; t < kTableCount; ++t)
            c.tables[t] = new QCheckBox(kTableNames[t], c.group);
        c.address = new QLineEdit(c.group);
        c.port = new QLineEdit(c.group);
        c.enable = new QCheckBox("Enable", c.group);
        for (QLineEdit* edit : {c.bitrate, c.tsId, c.netId, c.ipInsert, c.realtime, c.port})
            edit->setMaximumWidth(140);
        c.address->setMaximumWidth(180);

        auto* fields = new QGridLayout;
        fields->addWidget(new QLabel("Total Bitrate:", c.group), 0, 0);
        fields->addWidget(c.bitrate, 0, 1);
        fields->addWidget(c.realtimeLabel, 0, 2);
        fields->addWidget(c.realtime, 0, 3);
        fields->addWidget(new QLabel("TS ID:0X", c.group), 1, 0);
        fields->addWidget(c.tsId, 1, 1);
        fields->addWidget(new QLabel("NET. ID:0X", c.group), 2, 0);
        fields->addWidget(c.netId, 2, 1);
        fields->addWidget(new QLabel("IP Insert:", c.group), 3, 0);
        fields->addWidget(c.ipInsert, 3, 1);
        fields->setColumnStretch(4, 1);
        auto* tables = new QHBoxLayout;
        for (QCheckBox* box : c.tables)
            tables->addWidget(box);
        tables->addStretch();
        auto* ip = new QHBoxLayout;
        ip->addWidget(c.address, 3);
        ip->addWidget(c.port, 1);
        ip->addWidget(c.enable);
        ip->addStretch();
        auto* box = new QVBoxLayout(c.group);
        box->addLayout(fields);
        box->addLayout(tables);
        box->addLayout(ip);
        if (o < 2) {
            auto* buttons = new QHBoxLayout;
            buttons->addStretch();
            buttons->addWidget(o == 0 ? m_getA : m_getB);
            buttons->addWidget(o == 0 ? m_setA : m_setB);
            box->addLayout(buttons);
        }
        box->addStretch();
        grid->addWidget(c.group, o / 2, o % 2);
    }
    auto* allButtons = new QHBoxLayout;
    allButtons->addWidget(m_getAll);
    allButtons->addWidget(m_setAll);
    allButtons->addStretch();
    auto* row = new QHBoxLayout;
    row->addLayout(grid);
    row->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addLayout(row);
    page->addLayout(allButtons);
    page->addStretch();

    connect(m_getA, &QPushButton::clicked, this, &CMuxMiscView::OnGetA);
    connect(m_setA, &QPushButton::clicked, this, &CMuxMiscView::OnSetA);
    connect(m_getB, &QPushButton::clicked, this, &CMuxMiscView::OnGetB);
    connect(m_setB, &QPushButton::clicked, this, &CMuxMiscView::OnSetB);
    connect(m_getAll, &QPushButton::clicked, this, &CMuxMiscView::OnGetAll);
    connect(m_setAll, &QPushButton::clicked, this, &CMuxMiscView::OnSetAll);
}

CMuxMiscView::~CMuxMiscView() = default;

void CMuxMiscView::OnInitialUpdate() {
    // A new binding starts from blank records, so nothing read from another device is sent back.
    m_logic = std::make_unique<MuxMiscLogic>(m_pageParam);
    const int param = m_pageParam;
    const bool channels = param == 1 || param == 20 || param == 39;
    const bool blocks = m_logic->IsBlockRecord();
    const int shown = m_logic->ShownOutputs();

    for (int o = 0; o < kMuxOutputs; ++o) {
        OutputControls& c = m_outputs[o];
        c.group->setTitle(o == 0 && !channels ? "Basic Parameters" : kChannelCaptions[o]);
        c.group->setVisible(o < shown);
        c.realtime->setVisible(blocks);
        c.realtimeLabel->setVisible(blocks);
        for (int t = 0; t < kTableCount; ++t) {
            // The single-output variants show output A's PAT, SDT and PMT boxes only.
            const bool basic = o == 0 && (t == kTablePat || t == kTableSdt || t == kTablePmt);
            c.tables[t]->setVisible(blocks || (basic && !blocks));
        }
    }
    ShowIpControls();
    m_getA->setVisible(!blocks);
    m_setA->setVisible(!blocks);
    m_getB->setVisible(param == 1);
    m_setB->setVisible(param == 1);
    m_getAll->setVisible(blocks);
    m_setAll->setVisible(blocks);
    UpdateData(false);

    if (m_logic->IsTranscoder())
        KillTimer(kOutputStatusTimerId);
    else
        SetTimer(kOutputStatusTimerId, kOutputStatusPollMs);
}

void CMuxMiscView::ShowIpControls() {
    const bool ip = m_logic && m_logic->IsBlockRecord() && m_logic->HasIpOutputs();
    for (int o = 0; o < kMuxOutputs; ++o) {
        const bool shown = ip && o < m_logic->ShownOutputs();
        m_outputs[o].address->setVisible(shown);
        m_outputs[o].port->setVisible(shown);
        m_outputs[o].enable->setVisible(shown);
    }
}

bool CMuxMiscView::DoDataExchange(bool collect) {
    if (!m_logic)
        return true;
    // Every group, shown or not, is exchanged: hidden controls keep the values last read.
    for (int o = 0; o < kMuxOutputs; ++o) {
        OutputControls& c = m_outputs[o];
        MuxOutputForm& f = m_logic->Form(o);
        if (collect) {
            f.bitrate = Text(c.bitrate);
            f.tsId = Text(c.tsId);
            f.netId = Text(c.netId);
            f.ipInsert = Text(c.ipInsert);
            f.realtime = Text(c.realtime);
            for (int t = 0; t < kTableCount; ++t)
                f.tables[t] = c.tables[t]->isChecked();
            f.address = Text(c.address);
            f.port = Text(c.port);
            f.enable = c.enable->isChecked();
        } else {
            c.bitrate->setText(QString::fromStdString(f.bitrate));
            c.tsId->setText(QString::fromStdString(f.tsId));
            c.netId->setText(QString::fromStdString(f.netId));
            c.ipInsert->setText(QString::fromStdString(f.ipInsert));
            c.realtime->setText(QString::fromStdString(f.realtime));
            for (int t = 0; t < kTableCount; ++t)
                c.tables[t]->setChecked(f.tables[t]);
            c.address->setText(QString::fromStdString(f.address));
            c.port->setText(QString::fromStdString(f.port));
            c.enable->setChecked(f.enable);
        }
    }
    return true;
}

void CMuxMiscView::OnRefresh(unsigned what, bool refreshed) {
    if (what & PageStep::kRefreshAll) {
        if (!refreshed)
            UpdateData(false);
        ShowIpControls();
    } else if (what & MuxMiscLogic::kRefreshRealtime) {
        // Only the real-time fields change, so values being typed elsewhere stay as they are.
        for (int o = 0; o < kMuxOutputs; ++o)
            m_outputs[o].realtime->setText(QString::fromStdString(m_logic->Form(o).realtime));
    }
}

void CMuxMiscView::OnStepRefused(const PageStep&) {
    NothingLate(*m_logic);
}

void CMuxMiscView::DoGet(MuxMiscLogic::Target target) {
    if (!(m_logic && DeviceOnline()))
        return;
    KeepShownValues();
    Carry(m_logic->Get(target));
}

void CMuxMiscView::KeepShownValues() {
    // A reply refreshes every control from the form, also those it carries nothing for (the table boxes
    // after a reply without its flags byte): the form first takes what the controls show, so a box the
    // operator changed stays as it is.
    UpdateData(true);
}

void CMuxMiscView::DoSet(MuxMiscLogic::Target target) {
    if (!(m_logic && DeviceOnline()))
        return;
    UpdateData(true);
    Carry(m_logic->Set(target));
}

void CMuxMiscView::OnGetA() {
    DoGet(MuxMiscLogic::kOutputA);
}
void CMuxMiscView::OnSetA() {
    DoSet(MuxMiscLogic::kOutputA);
}
void CMuxMiscView::OnGetB() {
    DoGet(MuxMiscLogic::kOutputB);
}
void CMuxMiscView::OnSetB() {
    DoSet(MuxMiscLogic::kOutputB);
}
void CMuxMiscView::OnGetAll() {
    DoGet(MuxMiscLogic::kAllOutputs);
}
void CMuxMiscView::OnSetAll() {
    DoSet(MuxMiscLogic::kAllOutputs);
}

void CMuxMiscView::OnShowWindow(bool shown) {
    if (!shown || !(m_logic && DeviceOnline()))
        return;
    KeepShownValues();
    Carry(m_logic->Shown());
}

void CMuxMiscView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!m_logic || !device || device != m_device || !reply.IsValid())
        return;
    // A reply refreshes every control, so the form first takes what they show now: a reply after the
    // time-out finds the page as the operator left it meanwhile, and what it does not carry (the table
    // boxes of a reply without its flags byte, the other output's fields) stays so.
    KeepShownValues();
    Carry(ReplyStep(*m_logic, reply, IsBusy()));
}

void CMuxMiscView::OnTimer(int id) {
    if (id == kOutputStatusTimerId && (m_logic && DeviceOnline()) && !m_logic->IsTranscoder() && !IsBusy()) {
        // A poll gives way to any page's request that waits to go out or for its reply.
        Carry(m_logic->Poll());
    }
    // The wait ended without its reply: a late reply is shown but asks for nothing more.
    if (id == kWaitTimerId && m_logic)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
