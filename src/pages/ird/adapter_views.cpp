#include "pages/ird/adapter_views.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "pagebase/lamp.h"
#include "pages/encoder/encoder_public_view.h"
#include "platform/resource_icons.h"

namespace nms {
namespace {

QLineEdit* MakeRate(QWidget* parent) {
    auto* edit = new QLineEdit("0.000", parent);
    edit->setReadOnly(true);
    edit->setMaximumWidth(140);
    return edit;
}

}  // namespace

// ---- 4 x E1 to ASI ----

void CAdapterView::OnShowWindow(bool shown) {
    if (!m_device)
        return;
    if (shown) {
        OnGet();
        SetTimer(kEncoderStatusTimerId, kAdapterStatusPollMs);
    } else {
        KillTimer(kEncoderStatusTimerId);
    }
}

void CAdapterView::OnTimer(int id) {
    if (id == kWaitTimerId)
        WaitEnded();
    CEncoderPublicView::StatusPollTimer(*this, id);
}

void CAdapterView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device && device == m_device && reply.IsValid())
        Carry(HandleReply(reply));
}

C4e1_asi::C4e1_asi(QWidget* parent) : CAdapterView(parent) {
    auto* modeGroup = new QGroupBox("E1 Mode", this);
    m_mode = new QComboBox(modeGroup);
    m_mode->addItems({"1*E1", "2*E1", "3*E1", "4*E1"});
    m_mode->setCurrentIndex(-1);
    m_get = new QPushButton("Get", modeGroup);
    m_set = new QPushButton("Set", modeGroup);
    auto* modeRow = new QHBoxLayout(modeGroup);
    modeRow->addWidget(new QLabel("E1 Mode:", modeGroup));
    modeRow->addWidget(m_mode);
    modeRow->addWidget(m_get);
    modeRow->addWidget(m_set);
    modeRow->addStretch();

    auto* monitor = new QGroupBox("Monitor", this);
    auto* grid = new QGridLayout(monitor);
    const char* lampNames[] = {"E1 1 LOCK", "E1 2 LOCK", "E1 3 LOCK", "E1 4 LOCK", "ASI LOCK"};
    for (int i = 0; i < 5; ++i) {
        m_lamps[size_t(i)] = MakeLamp(monitor);
        grid->addWidget(m_lamps[size_t(i)], i, 0);
        grid->addWidget(new QLabel(lampNames[i], monitor), i, 1);
    }
    m_asiToE1 = MakeRate(monitor);
    m_e1ToAsi = MakeRate(monitor);
    m_asiToE1->setEnabled(false);
    m_e1ToAsi->setEnabled(false);
    grid->addWidget(new QLabel("ASI=>E1", monitor), 0, 2);
    grid->addWidget(m_asiToE1, 0, 3);
    grid->addWidget(new QLabel("Mbps", monitor), 0, 4);
    grid->addWidget(new QLabel("E1=>ASI", monitor), 1, 2);
    grid->addWidget(m_e1ToAsi, 1, 3);
    grid->addWidget(new QLabel("Mbps", monitor), 1, 4);
    grid->setColumnStretch(5, 1);

    auto* page = new QVBoxLayout(this);
    page->addWidget(modeGroup);
    page->addWidget(monitor);
    page->addStretch();
    connect(m_get, &QPushButton::clicked, this, &C4e1_asi::OnGet);
    connect(m_set, &QPushButton::clicked, this, &C4e1_asi::OnSet);
}

void C4e1_asi::OnGet() {
    if (DeviceOnline())
        Carry(m_logic.Get());
}

void C4e1_asi::OnSet() {
    if (DeviceOnline())
        Carry(m_logic.Set(m_mode->currentIndex()));
}

void C4e1_asi::OnRefresh(unsigned what, bool refreshed) {
    if (what & kRefreshAdapterConfig)
        m_mode->setCurrentIndex(m_logic.ModeIndex(m_mode->currentIndex()));
    if (what & kRefreshAdapterStatus) {
        m_asiToE1->setText(QString::fromStdString(m_logic.AsiToE1()));
        m_e1ToAsi->setText(QString::fromStdString(m_logic.E1ToAsi()));
        for (int i = 0; i < 5; ++i)
            SetLamp(m_lamps[size_t(i)], m_logic.LockBits() & (1u << i));
    }
    CFormTemplateView::OnRefresh(what, refreshed);
}

// ---- DS3 to ASI ----

CDS3AdapterView::CDS3AdapterView(QWidget* parent) : CAdapterView(parent) {
    auto makeGroup = [this](const char* title, const char* protocol, const char* lock, const char* bitrate,
                            QComboBox** combo, QLabel** lamp, QLabel** lockLabel, QLineEdit** rate) {
        auto* group = new QGroupBox(title, this);
        *combo = new QComboBox(group);
        for (int i = 1; i <= Ds3AdapterLogic::kProtocols; ++i)
            (*combo)->addItem(QString("DS3-->%1").arg(i));
        (*combo)->setCurrentIndex(-1);  // no protocol until the device has told its own
        *lamp = MakeLamp(group);
        *lockLabel = new QLabel(lock, group);
        *rate = MakeRate(group);
        auto* grid = new QGridLayout(group);
        grid->addWidget(new QLabel(protocol, group), 0, 0);
        grid->addWidget(*combo, 0, 1);
        grid->addWidget(*lamp, 1, 0, Qt::AlignRight);
        grid->addWidget(*lockLabel, 1, 1);
        grid->addWidget(new QLabel(bitrate, group), 2, 0);
        grid->addWidget(*rate, 2, 1);
        grid->addWidget(new QLabel("Mbps", group), 2, 2);
        grid->setColumnStretch(3, 1);
        return group;
    };
    QGroupBox* asiToDs3 =
        makeGroup("ASI To DS3", "ASI=>DS3 Protocol:", "ASI=>DS3 Unlock ", "ASI=>DS3 Bitrate: ", &m_asiToDs3,
                  &m_asiToDs3Lamp, &m_asiToDs3Lock, &m_asiToDs3Rate);
    QGroupBox* ds3ToAsi =
        makeGroup("DS3 To ASI", "DS3=>ASI Protocol: ", "DS3=>ASI Unlock ", "DS3=>ASI Bitrate: ", &m_ds3ToAsi,
                  &m_ds3ToAsiLamp, &m_ds3ToAsiLock, &m_ds3ToAsiRate);
    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    auto* groups = new QHBoxLayout;
    groups->addWidget(asiToDs3);
    groups->addWidget(ds3ToAsi);
    groups->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addLayout(groups);
    page->addLayout(buttons);
    page->addStretch();
    connect(m_get, &QPushButton::clicked, this, &CDS3AdapterView::OnGet);
    connect(m_set, &QPushButton::clicked, this, &CDS3AdapterView::OnSet);
}

void CDS3AdapterView::OnGet() {
    if (DeviceOnline())
        Carry(m_logic.Get());
}

void CDS3AdapterView::OnSet() {
    if (DeviceOnline())
        Carry(m_logic.Set(m_asiToDs3->currentIndex(), m_ds3ToAsi->currentIndex()));
}

void CDS3AdapterView::OnRefresh(unsigned what, bool refreshed) {
    if (what & kRefreshAdapterConfig) {
        const auto& params = m_logic.Params();
        m_asiToDs3->setCurrentIndex(ListIndexFor(params[0], 8, 8, m_asiToDs3->currentIndex()));
        m_ds3ToAsi->setCurrentIndex(ListIndexFor(params[1], 8, 8, m_ds3ToAsi->currentIndex()));
    }
    if (what & kRefreshAdapterStatus) {
        m_asiToDs3Rate->setText(QString::fromStdString(m_logic.AsiToDs3Rate()));
        m_ds3ToAsiRate->setText(QString::fromStdString(m_logic.Ds3ToAsiRate()));
        SetLamp(m_ds3ToAsiLamp, m_logic.Ds3ToAsiLocked());
        m_ds3ToAsiLock->setText(m_logic.Ds3ToAsiLocked() ? "DS3=>ASI Lock " : "DS3=>ASI Unlock ");
        SetLamp(m_asiToDs3Lamp, m_logic.AsiToDs3Locked());
        m_asiToDs3Lock->setText(m_logic.AsiToDs3Locked() ? "ASI=>DS3 Lock " : "ASI=>DS3 Unlock ");
    }
    CFormTemplateView::OnRefresh(what, refreshed);
}

// ---- ASI distributor ----

CASIDistributorView::CASIDistributorView(QWidget* parent) : CFormTemplateView(parent) {
    auto* input = new QGroupBox(this);
    m_autoSwitch = new QCheckBox("Auto Switch", input);
    m_input1 = new QRadioButton("ASI IN 1", input);
    m_input2 = new QRadioButton("ASI IN 2", input);
    m_input1->setChecked(true);
    m_get = new QPushButton("Get", input);
    m_set = new QPushButton("Set", input);
    auto* inputRow = new QHBoxLayout(input);
    inputRow->addWidget(m_autoSwitch);
    inputRow->addWidget(m_input1);
    inputRow->addWidget(m_input2);
    inputRow->addWidget(m_get);
    inputRow->addWidget(m_set);
    inputRow->addStretch();

    auto* status = new QGroupBox("Output Status", this);
    m_lamp1 = MakeLamp(status);
    m_lamp2 = MakeLamp(status);
    m_rate1 = MakeRate(status);
    m_rate2 = MakeRate(status);
    m_rate1->setAlignment(Qt::AlignCenter);
    m_rate2->setAlignment(Qt::AlignCenter);
    m_rate1->setMaximumWidth(200);
    m_rate2->setMaximumWidth(200);
    auto* grid = new QGridLayout(status);
    grid->addWidget(new QLabel("Lock Status", status), 0, 0);
    grid->addWidget(new QLabel("ASI1", status), 0, 1, Qt::AlignCenter);
    grid->addWidget(new QLabel("ASI2", status), 0, 2, Qt::AlignCenter);
    grid->addWidget(m_lamp1, 1, 1, Qt::AlignCenter);
    grid->addWidget(m_lamp2, 1, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel("ASI 1 :", status), 2, 0);
    grid->addWidget(m_rate1, 2, 1, 1, 2);
    grid->addWidget(new QLabel("ASI 2 :", status), 3, 0);
    grid->addWidget(m_rate2, 3, 1, 1, 2);
    grid->setColumnStretch(3, 1);

    auto* page = new QVBoxLayout(this);
    page->addWidget(input);
    page->addWidget(status);
    page->addStretch();
    connect(m_get, &QPushButton::clicked, this, &CASIDistributorView::OnGet);
    connect(m_set, &QPushButton::clicked, this, &CASIDistributorView::OnSet);
    connect(m_autoSwitch, &QCheckBox::clicked, this, &CASIDistributorView::OnAutoSwitch);
}

CASIDistributorView::~CASIDistributorView() {
    KillTimer(kEncoderStatusTimerId);
}

void CASIDistributorView::OnInitialUpdate() {
    // The poll runs from the first binding until the page goes, shown or not.
    if (!m_timerStarted) {
        SetTimer(kEncoderStatusTimerId, kAdapterStatusPollMs);
        m_timerStarted = true;
    }
}

void CASIDistributorView::OnGet() {
    Carry(m_logic.Get());
}

void CASIDistributorView::OnSet() {
    Carry(m_logic.Set(m_autoSwitch->isChecked(), m_input1->isChecked()));
}

void CASIDistributorView::OnAutoSwitch() {
    const bool manual = !m_autoSwitch->isChecked();
    m_input1->setEnabled(manual);
    m_input2->setEnabled(manual);
}

void CASIDistributorView::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

void CASIDistributorView::OnTimer(int id) {
    CEncoderPublicView::StatusPollTimer(*this, id);
}

void CASIDistributorView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device && device == m_device && reply.IsValid())
        Carry(m_logic.HandleReply(reply));
}

void CASIDistributorView::OnRefresh(unsigned what, bool refreshed) {
    if (what & kRefreshAdapterConfig) {
        m_autoSwitch->setChecked(m_logic.AutoSwitch());
        if (!m_logic.AutoSwitch()) {
            m_input2->setChecked(m_logic.Input2());
            m_input1->setChecked(!m_logic.Input2());
        }
        OnAutoSwitch();
    }
    if (what & kRefreshAdapterStatus) {
        SetLamp(m_lamp1, m_logic.OutputInput() == 1);
        SetLamp(m_lamp2, m_logic.OutputInput() == 2);
        m_rate1->setText(QString::fromStdString(m_logic.Input1Rates()));
        m_rate2->setText(QString::fromStdString(m_logic.Input2Rates()));
    }
    CFormTemplateView::OnRefresh(what, refreshed);
}

}  // namespace nms
