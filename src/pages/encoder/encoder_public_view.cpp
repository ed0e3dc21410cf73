#include "pages/encoder/encoder_public_view.h"

#include <QCheckBox>
#include <QComboBox>
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
#include "pagebase/lamp.h"
#include "platform/prompt.h"

namespace nms {
namespace {

QLineEdit* ReadOnly(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setMaximumWidth(110);
    return edit;
}

void Reparent(FormBinder& binder, QWidget* box, const std::vector<std::string>& keys) {
    for (const std::string& key : keys) {
        binder.Control(key)->setParent(box);
        if (QLabel* label = binder.Label(key))
            label->setParent(box);
    }
}

// The RF fields in the order the form shows them; only those of the model and standard are visible.
const std::vector<std::string> kRfKeys = {"x.freq1",
                                          "x.att1",
                                          "x.tsId1",
                                          "x.netId1",
                                          "x.freq2",
                                          "x.att2",
                                          "x.tsId2",
                                          "x.netId2",
                                          "t.freq",
                                          "c.freq",
                                          "d.freq",
                                          "q.freq",
                                          "q.att",
                                          "c.att",
                                          "t.power",
                                          "d.power",
                                          "x.d.power",
                                          "q.symbol",
                                          "c.symbol",
                                          "x.c.symbol",
                                          "q.constellation",
                                          "t.constellation",
                                          "c.constellation",
                                          "d.mode",
                                          "x.t.constellation",
                                          "x.c.constellation",
                                          "x.d.mode",
                                          "t.fec",
                                          "x.t.fec",
                                          "t.guard",
                                          "x.t.guard",
                                          "t.bandwidth",
                                          "c.bandwidth",
                                          "x.t.bandwidth",
                                          "t.transmode",
                                          "x.t.transmode",
                                          "t.rfOutput",
                                          "d.inverse",
                                          "x.d.inverse",
                                          "d.carrier",
                                          "x.d.carrier",
                                          "d.interleave",
                                          "x.d.interleave",
                                          "d.frame",
                                          "x.d.frame",
                                          "d.single",
                                          "d.pilot",
                                          "x.d.pilot"};

}  // namespace

CEncoderPublicView::CEncoderPublicView(QWidget* parent)
    : CBlockPageView(parent), m_binder(std::make_unique<FormBinder>(EncoderOutputTable(), this)) {
    FormBinder& b = *m_binder;
    MakeGetSetButtons();
    // The status is asked for only while the operator can see it.
    SetStatusPoll(kEncoderStatusTimerId, kEncoderStatusPollMs);

    auto* output = new QGroupBox(this);
    auto* outputGrid = new QGridLayout(output);
    Reparent(b, output, {"sdt", "nit", "cat", "tsId", "netId", "bitrate"});
    outputGrid->addWidget(b.Control("sdt"), 0, 0);
    outputGrid->addWidget(b.Control("nit"), 0, 1);
    outputGrid->addWidget(b.Control("cat"), 0, 2);
    for (int n = 1; n <= kEncoderChannels; ++n) {
        const std::string key = "mux" + std::to_string(n);
        Reparent(b, output, {key});
        outputGrid->addWidget(b.Control(key), 1 + (n - 1) / 4, (n - 1) % 4);
    }
    b.AddRows(outputGrid, {"tsId", "netId", "bitrate"}, 5, 0);
    m_mbps = new QLabel("Mbps", output);
    outputGrid->addWidget(m_mbps, 7, 2);
    static_cast<QLineEdit*>(b.Control("tsId"))->setMaxLength(4);
    static_cast<QLineEdit*>(b.Control("netId"))->setMaxLength(4);
    static_cast<QLineEdit*>(b.Control("bitrate"))->setMaxLength(7);

    auto* alarm = new QGroupBox("Alarm Status", this);
    auto* alarmGrid = new QGridLayout(alarm);
    for (int i = 0; i <= kEncoderChannels; ++i) {
        m_lamps[size_t(i)] = MakeLamp(alarm);
        m_lampCaptions[size_t(i)] = new QLabel(alarm);
        const int row = i / 4, column = 2 * (i % 4);
        alarmGrid->addWidget(m_lamps[size_t(i)], row, column);
        alarmGrid->addWidget(m_lampCaptions[size_t(i)], row, column + 1);
    }
    m_bitrate = ReadOnly(alarm);
    m_max = ReadOnly(alarm);
    m_min = ReadOnly(alarm);
    m_maxCaption = new QLabel("MAX:", alarm);
    alarmGrid->addWidget(new QLabel("BitRate:", alarm), 5, 0, 1, 2);
    alarmGrid->addWidget(m_bitrate, 5, 2, 1, 2);
    alarmGrid->addWidget(m_maxCaption, 6, 0, 1, 2);
    alarmGrid->addWidget(m_max, 6, 2, 1, 2);
    alarmGrid->addWidget(new QLabel("MIN:", alarm), 7, 0, 1, 2);
    alarmGrid->addWidget(m_min, 7, 2, 1, 2);
    m_working = new QLabel(alarm);
    m_statusLine = new QLabel(alarm);
    m_statusLine->hide();
    alarmGrid->addWidget(m_working, 8, 0, 1, 8);
    alarmGrid->addWidget(m_statusLine, 9, 0, 1, 8);

    m_rfGroup = new QGroupBox(this);
    auto* rfGrid = new QGridLayout(m_rfGroup);
    auto* radios = new QHBoxLayout;
    const char* names[] = {"DVB-T", "DVB-C", "DTMB"};
    for (int s : {1, 0, 2}) {
        m_standards[size_t(s)] = new QRadioButton(names[s], m_rfGroup);
        radios->addWidget(m_standards[size_t(s)]);
        connect(m_standards[size_t(s)], &QRadioButton::clicked, this,
                [this, s] { OnStandardClicked(EncoderStandard(s)); });
    }
    radios->addStretch();
    rfGrid->addLayout(radios, 0, 0, 1, 2);
    Reparent(b, m_rfGroup, kRfKeys);
    Reparent(b, m_rfGroup, {"x.nit1", "x.nit2", "x.rf1", "x.rf2"});
    b.AddRows(rfGrid, kRfKeys, 1, 0);
    auto* boxes = new QHBoxLayout;
    for (const char* key : {"x.nit1", "x.nit2", "x.rf1", "x.rf2"})
        boxes->addWidget(b.Control(key));
    boxes->addStretch();
    rfGrid->addLayout(boxes, int(kRfKeys.size()) + 1, 0, 1, 2);
    rfGrid->setColumnStretch(2, 1);

    m_ipGroup = new QGroupBox(this);
    auto* ipGrid = new QGridLayout(m_ipGroup);
    Reparent(b, m_ipGroup, {"ip", "port", "mac"});
    b.AddRows(ipGrid, {"ip", "port", "mac"});
    static_cast<QLineEdit*>(b.Control("mac"))->setMaxLength(17);
    m_generateMac = new QPushButton("Generate MAC", m_ipGroup);
    ipGrid->addWidget(m_generateMac, 3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(output);
    left->addLayout(buttons);
    left->addWidget(alarm);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(m_rfGroup);
    right->addWidget(m_ipGroup);
    right->addStretch();
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left);
    columns->addLayout(right);
    columns->addStretch();

    connect(m_generateMac, &QPushButton::clicked, this, &CEncoderPublicView::OnGenerateMac);
    connect(static_cast<QLineEdit*>(b.Control("x.freq1")), &QLineEdit::textEdited, this,
            &CEncoderPublicView::OnFrequencyChange);
}

bool CEncoderPublicView::MayPollStatus(const CFormTemplateView& page) {
    return page.DeviceOnline() && !page.IsBusy() && page.Device()->busy.load() == 0;
}

void CEncoderPublicView::StatusPollTimer(CFormTemplateView& page, int timerId) {
    if (timerId == kEncoderStatusTimerId && MayPollStatus(page))
        page.Carry(PageStep::Poll(kCmdEncoderStatus));
    page.CFormTemplateView::OnTimer(timerId);
}

void CEncoderPublicView::OnInitialUpdate() {
    m_logic.Bind(m_pageParam, m_device ? m_device->typeCode : 0);
    for (QLabel* lamp : m_lamps)
        SetLamp(lamp, false);
    m_bitrate->clear();
    m_max->clear();
    m_min->clear();
    m_working->clear();
    ApplyLayout();
    UpdateData(false);
}

void CEncoderPublicView::ApplyLayout() {
    const EncoderOutputLayout layout = m_logic.Layout();
    FormBinder& b = *m_binder;
    for (const FieldDef& f : EncoderOutputTable())
        b.SetUsed(f.key, std::find(layout.used.begin(), layout.used.end(), f.key) != layout.used.end());
    for (int n = 1; n <= kEncoderChannels; ++n) {
        const size_t i = size_t(n - 1);
        const QString caption = QString::fromStdString(layout.channelCaption[i]);
        m_lamps[i]->setVisible(layout.channel[i]);
        m_lampCaptions[i]->setVisible(layout.channel[i]);
        m_lampCaptions[i]->setText(caption);
        const QString number = caption.mid(2);
        static_cast<QCheckBox*>(b.Control("mux" + std::to_string(n)))
            ->setText(number.size() > 1 ? number + "MUX" : number + " MUX");
    }
    m_lamps[kEncoderChannels]->setVisible(layout.inputLamp);
    m_lampCaptions[kEncoderChannels]->setVisible(layout.inputLamp);
    m_lampCaptions[kEncoderChannels]->setText(QString::fromStdString(layout.inputCaption));
    m_rfGroup->setVisible(layout.standard.has_value());
    for (int s = 0; s < 3; ++s) {
        const bool current = layout.standard && int(*layout.standard) == s;
        m_standards[size_t(s)]->setVisible(current);
        m_standards[size_t(s)]->setChecked(current);
    }
    m_ipGroup->setVisible(layout.ipGroup);
    m_mbps->setVisible(b.IsUsed("bitrate"));
}

void CEncoderPublicView::ShowBlock() {
    m_binder->Show(m_logic.Image());
}

bool CEncoderPublicView::DoDataExchange(bool collect) {
    if (!collect)
        ShowBlock();
    // Collecting is the logic's (OnSet): it checks and takes the form in one pass.
    return true;
}

void CEncoderPublicView::ShowStatus() {
    const EncoderStatusDisplay& s = m_logic.Status();
    for (size_t i = 0; i < m_lamps.size(); ++i)
        if (s.lamps[i] >= 0)
            SetLamp(m_lamps[i], s.lamps[i] == 1);
    m_bitrate->setText(QString::fromStdString(s.bitrate));
    m_max->setText(QString::fromStdString(s.max));
    m_min->setText(QString::fromStdString(s.min));
    m_maxCaption->setText(QString::fromStdString(s.maxCaption));
    if (!s.working.empty())
        m_working->setText(QString::fromStdString(s.working));
    m_statusLine->setVisible(!s.statusLine.empty());
    m_statusLine->setText(QString::fromStdString(s.statusLine));
}

void CEncoderPublicView::OnRefresh(unsigned what, bool refreshed) {
    if (what & EncoderOutputLogic::kRefreshLayout)
        ApplyLayout();
    if (what & EncoderOutputLogic::kRefreshStatus)
        ShowStatus();
    // The block shows through the form exchange, which a wait that just ended has run already.
    CFormTemplateView::OnRefresh(what, refreshed);
}

void CEncoderPublicView::OnStandardClicked(EncoderStandard standard) {
    m_logic.SelectStandard(standard);
    ApplyLayout();
}

void CEncoderPublicView::OnGenerateMac() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    static_cast<QLineEdit*>(m_binder->Control("mac"))
        ->setText(
            QString::fromStdString(GeneratedMacText(d.month(), d.day(), t.hour(), t.minute(), t.second())));
}

void CEncoderPublicView::OnFrequencyChange() {
    if (m_logic.Kind() != EncoderOutputKind::kDual89)
        return;
    const auto* first = static_cast<QLineEdit*>(m_binder->Control("x.freq1"));
    const auto* bandwidth = static_cast<QComboBox*>(m_binder->Control("x.t.bandwidth"));
    static_cast<QLineEdit*>(m_binder->Control("x.freq2"))
        ->setText(QString::fromStdString(
            SecondFrequencyText(first->text().toStdString(), m_logic.Standard(), bandwidth->currentIndex())));
}

}  // namespace nms
