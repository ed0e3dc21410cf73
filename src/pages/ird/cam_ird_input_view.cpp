#include "pages/ird/cam_ird_input_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdio>

#include "pagebase/lamp.h"
#include "platform/ip_address_edit.h"
#include "platform/resource_icons.h"

namespace nms {
namespace {

// The variants of the page: the IP input shows on the receivers that have one.
struct SourceVariant {
    int pageParam;
    bool ipInput;
};
constexpr SourceVariant kVariants[] = {{0, false}, {64, true}};

QLineEdit* ReadOnly(QWidget* parent, const char* text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setReadOnly(true);
    edit->setMaximumWidth(120);
    return edit;
}

const std::vector<std::string> kTunerKeys = {"freq", "lnb",       "symbol", "polarization", "standard1",
                                             "tone", "bandwidth", "diseqc", "qam1"};

}  // namespace

CCAMIRD_INPUT::CCAMIRD_INPUT(QWidget* parent) : CBlockPageView(parent) {
    m_binder = std::make_unique<FormBinder>(CamIrdSourceTable(), this);
    for (const FieldDef& f : CamIrdSourceTable())
        m_binder->SetUsed(f.key, false);

    m_tunerGroup = new QGroupBox("DVB-S", this);
    auto* tuner = new QGridLayout(m_tunerGroup);
    m_binder->AddRows(tuner, kTunerKeys);
    for (const std::string& key : kTunerKeys) {
        m_binder->Control(key)->setParent(m_tunerGroup);
        if (QLabel* label = m_binder->Label(key))
            label->setParent(m_tunerGroup);
    }
    m_tunerLock = MakeLamp(m_tunerGroup);
    m_signal = new QProgressBar(m_tunerGroup);
    m_signal->setRange(0, 100);
    m_signal->setValue(0);
    m_signal->setTextVisible(false);
    m_signalText = new QLabel("0", m_tunerGroup);
    const int row = int(kTunerKeys.size());
    auto* lockRow = new QHBoxLayout;
    lockRow->addWidget(m_tunerLock);
    lockRow->addWidget(new QLabel(" Lock Status", m_tunerGroup));
    lockRow->addStretch();
    tuner->addLayout(lockRow, row, 1);
    tuner->addWidget(new QLabel("Signal:", m_tunerGroup), row + 1, 0);
    auto* signalRow = new QHBoxLayout;
    signalRow->addWidget(m_signal);
    signalRow->addWidget(m_signalText);
    tuner->addLayout(signalRow, row + 1, 1);

    auto* status = new QGroupBox(this);
    auto* statusGrid = new QGridLayout(status);
    m_asiLock = MakeLamp(status);
    m_statusIcon = MakeLamp(status);
    m_statusWord = new QLabel("0", status);
    m_cam1 = MakeLamp(status);
    m_cam2 = MakeLamp(status);
    m_cam1Name = new QLabel("CAM-1", status);
    m_cam2Name = new QLabel("CAM-2", status);
    m_programs = ReadOnly(status, "0");
    m_bitrate = ReadOnly(status, "");
    m_max = ReadOnly(status, "0");
    m_min = ReadOnly(status, "0");
    auto* asiRow = new QHBoxLayout;
    asiRow->addWidget(m_asiLock);
    asiRow->addWidget(new QLabel("ASI Lock", status));
    asiRow->addWidget(m_statusIcon);
    asiRow->addWidget(m_statusWord);
    asiRow->addStretch();
    statusGrid->addLayout(asiRow, 0, 0, 1, 2);
    statusGrid->addWidget(m_cam1, 1, 0);
    statusGrid->addWidget(m_cam1Name, 1, 1);
    statusGrid->addWidget(m_cam2, 2, 0);
    statusGrid->addWidget(m_cam2Name, 2, 1);
    statusGrid->addWidget(new QLabel("Program Count:", status), 3, 0);
    statusGrid->addWidget(m_programs, 3, 1);
    statusGrid->addWidget(new QLabel("BitRate:", status), 4, 0);
    statusGrid->addWidget(m_bitrate, 4, 1);
    statusGrid->addWidget(new QLabel("MAX BitRate:", status), 5, 0);
    statusGrid->addWidget(m_max, 5, 1);
    statusGrid->addWidget(new QLabel("MIN BitRate:", status), 6, 0);
    statusGrid->addWidget(m_min, 6, 1);

    m_ipGroup = new QGroupBox("IP Input", this);
    auto* ipGrid = new QGridLayout(m_ipGroup);
    m_binder->AddRows(ipGrid, {"ip", "port"});
    for (const char* key : {"ip", "port"}) {
        m_binder->Control(key)->setParent(m_ipGroup);
        m_binder->Label(key)->setParent(m_ipGroup);
    }
    m_ipLock = MakeLamp(m_ipGroup);
    m_unicast = new QRadioButton("Unicast", m_ipGroup);
    m_multicast = new QRadioButton("Multicast", m_ipGroup);
    m_unicast->setChecked(true);
    auto* ipRow = new QHBoxLayout;
    ipRow->addWidget(new QLabel("IP=>ASI Lock: ", m_ipGroup));
    ipRow->addWidget(m_ipLock);
    ipRow->addWidget(m_unicast);
    ipRow->addWidget(m_multicast);
    ipRow->addStretch();
    ipGrid->addLayout(ipRow, 2, 0, 1, 2);

    auto* left = new QVBoxLayout;
    left->addWidget(m_tunerGroup);
    left->addWidget(m_ipGroup);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(status);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    columns->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addLayout(columns);
    AddGetSetRow(page);
    // Spare height goes below the buttons: a hidden group leaves no gap above them.
    page->addStretch(1);

    SetStatusPoll(kCamSourceStatusTimerId, kCamSourceStatusPollMs);
    connect(m_unicast, &QRadioButton::clicked, this, &CCAMIRD_INPUT::OnCastClicked);
    connect(m_multicast, &QRadioButton::clicked, this, &CCAMIRD_INPUT::OnCastClicked);
    m_tunerGroup->setVisible(false);
}

CCAMIRD_INPUT::~CCAMIRD_INPUT() = default;

void CCAMIRD_INPUT::OnInitialUpdate() {
    const SourceVariant& variant = FindVariant(kVariants, m_pageParam);
    m_ipGroup->setVisible(variant.ipInput);
    m_binder->SetUsed("ip", variant.ipInput);
    m_binder->SetUsed("port", variant.ipInput);
    ShowStatus();
}

std::optional<int> CCAMIRD_INPUT::Selection() const {
    return m_multicast->isChecked() ? 1 : 0;
}

void CCAMIRD_INPUT::OnCastClicked() {
    if (auto* ip = m_binder->Control("ip"))
        ip->setEnabled(m_multicast->isChecked());
}

void CCAMIRD_INPUT::OnRefresh(unsigned what, bool refreshed) {
    if (what & CamIrdSourceLogic::kRefreshSource)
        ShowBlock();
    if (what & CamIrdSourceLogic::kRefreshStatus)
        ShowStatus();
    CFormTemplateView::OnRefresh(what & PageStep::kRefreshAll, refreshed);
}

void CCAMIRD_INPUT::ShowBlock() {
    const std::optional<CamInputForm> form = m_logic.Form();
    if (form) {
        const std::vector<std::string> shown = CamFormKeys(*form, true);
        for (const std::string& key : kTunerKeys)
            m_binder->SetUsed(key, std::find(shown.begin(), shown.end(), key) != shown.end());
        const char* caption = "DVB-S";
        if (*form == CamInputForm::kCable)
            caption = "DVB-C";
        else if (*form == CamInputForm::kTerrestrial)
            caption = "DVB-T/T2";
        else if (*form == CamInputForm::kFrequencyOnly)
            caption = "DTMB";
        m_tunerGroup->setTitle(caption);
        m_tunerGroup->setVisible(true);
    }
    m_binder->Show(m_logic.Block());
    const bool multicast = m_logic.Block().Bytes()[kCamIpBlockOffset + 82] != 0;
    m_multicast->setChecked(multicast);
    m_unicast->setChecked(!multicast);
    OnCastClicked();
}

void CCAMIRD_INPUT::ShowStatus() {
    const CamIrdStatus& s = m_logic.Status();
    const bool locked = s.bits & 0x04;
    SetLamp(m_tunerLock, locked);
    char text[32];
    if (s.inputType == 1 && s.unitOrStrength != 1) {
        m_signal->setRange(0, 28);
        m_signal->setValue(std::clamp(s.carrierToNoise / 100, 0, 28));
        std::snprintf(text, sizeof text, "%.2fdb", s.carrierToNoise * 0.01);
    } else {
        m_signal->setRange(0, 100);
        m_signal->setValue(std::min<int>(s.quality, 100));
        std::snprintf(text, sizeof text, s.inputType == 2 ? "%d%%" : "%02d%%", s.quality);
    }
    m_signalText->setText(text);
    SetLamp(m_statusIcon, s.bits & 0x01);
    SetLamp(m_ipLock, s.bits & 0x08);
    SetLamp(m_asiLock, s.bits & 0x02);
    SetLamp(m_cam1, s.bits & 0x40);
    SetLamp(m_cam2, s.bits & 0x80);
    m_cam1Name->setText(s.bits & 0x40 ? QString::fromStdString(s.cam1Name) : QString("CAM-1"));
    m_cam2Name->setText(s.bits & 0x80 ? QString::fromStdString(s.cam2Name) : QString("CAM-2"));
    std::snprintf(text, sizeof text, "%X", s.word);
    m_statusWord->setText(text);
    m_programs->setText(QString::number(s.programs));
    m_bitrate->setText(QString::fromStdString(m_logic.BitrateText()));
    m_max->setText(QString::fromStdString(m_logic.MaxText()));
    m_min->setText(QString::fromStdString(m_logic.MinText()));
}

}  // namespace nms
