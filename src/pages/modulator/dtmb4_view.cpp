#include "pages/modulator/dtmb4_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "pagebase/form_binder.h"
#include "pagebase/lamp.h"

namespace nms {
namespace {

// The application's style with less room beside each tab's text.
class NarrowTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace)
            return 12;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

void Move(FormBinder& binder, const std::string& key, QWidget* parent) {
    binder.Control(key)->setParent(parent);
    if (QLabel* label = binder.Label(key))
        label->setParent(parent);
}

}  // namespace

Cdtmb4::Cdtmb4(QWidget* parent) : CBlockPageView(parent) {
    m_binder = std::make_unique<FormBinder>(DtmbMultiTable(), this);
    FormBinder& b = *m_binder;

    auto* shared = new QGroupBox(this);
    auto* sharedGrid = new QGridLayout(shared);
    const std::vector<std::string> sharedKeys = {"power",      "powerWhole", "mode",    "frame",  "inverse",
                                                 "interleave", "pilot",      "carrier", "network"};
    for (const std::string& key : sharedKeys)
        Move(b, key, shared);
    b.AddRows(sharedGrid, sharedKeys);
    m_powerUnit = new QLabel(shared);
    sharedGrid->addWidget(m_powerUnit, 0, 2);
    Move(b, "pidTracking", shared);
    sharedGrid->addWidget(b.Control("pidTracking"), int(sharedKeys.size()), 1);

    auto* frequencies = new QGroupBox(this);
    auto* freqGrid = new QGridLayout(frequencies);
    for (int k = 1; k <= kDtmbChannels; ++k) {
        Move(b, DtmbKey("freq", k), frequencies);
        b.Label(DtmbKey("freq", k))->setText(QString("Channel %1 Frequency:").arg(k));
        b.AddRows(freqGrid, {DtmbKey("freq", k)}, k - 1);
    }

    m_tabs = new QTabBar(this);
    // Six channel tabs must fit beside the shared settings in the page area: narrower sides than the
    // style's own keep every tab whole without scroll buttons.
    auto* narrow = new NarrowTabStyle;
    narrow->setParent(m_tabs);
    m_tabs->setStyle(narrow);
    m_channelForms = new QStackedWidget(this);
    for (int k = 1; k <= kDtmbChannels; ++k) {
        auto* form = new QWidget(m_channelForms);
        auto* grid = new QGridLayout(form);
        for (const std::string& key : DtmbChannelKeys(k))
            Move(b, key, form);
        grid->addWidget(b.Control(DtmbKey("enable", k)), 0, 1);
        b.AddRows(grid, {DtmbKey("att", k), DtmbKey("ts", k), DtmbKey("net", k)}, 1);
        auto* checks = new QHBoxLayout;
        for (const char* p : {"pat", "sdt", "nit", "pmt", "cat"})
            checks->addWidget(b.Control(DtmbKey(p, k)));
        checks->addStretch();
        grid->addLayout(checks, 4, 0, 1, 2);
        m_channelForms->addWidget(form);
    }

    auto* status = new QGroupBox(this);
    m_status = status;
    auto* statusGrid = new QGridLayout(status);
    m_lockCaption = new QLabel(" Lock Status", status);
    statusGrid->addWidget(m_lockCaption, 0, 0, 1, 2);
    for (int k = 0; k < kDtmbChannels; ++k) {
        m_locks[size_t(k)] = MakeLamp(status);
        m_lockLabels[size_t(k)] = new QLabel(QString("Channel %1").arg(k + 1), status);
        statusGrid->addWidget(m_locks[size_t(k)], k + 1, 0);
        statusGrid->addWidget(m_lockLabels[size_t(k)], k + 1, 1);
    }
    for (int k = 0; k < kDtmbChannels; ++k) {
        m_rateLabels[size_t(k)] = new QLabel("Bitrate:", status);
        m_rates[size_t(k)] = new QLineEdit("0.000", status);
        m_rates[size_t(k)]->setReadOnly(true);
        KeepWideEnoughFor(m_rates[size_t(k)], "000000.000");  // a whole rate ("%d.%03d")
        m_rates[size_t(k)]->setMaximumWidth(100);
        statusGrid->addWidget(m_rateLabels[size_t(k)], k + 1, 2);
        statusGrid->addWidget(m_rates[size_t(k)], k + 1, 3);
    }

    // The lock status goes under the shared settings: three columns side by side are wider than the
    // main window's page area.
    auto* left = new QVBoxLayout;
    left->addWidget(shared);
    AddGetSetRow(left);
    left->addWidget(status);
    left->addStretch();
    auto* middle = new QVBoxLayout;
    middle->addWidget(frequencies);
    middle->addWidget(m_tabs);
    middle->addWidget(m_channelForms);
    // The channel form keeps its own height; spare height goes below it.
    middle->addStretch(1);
    auto* row = new QHBoxLayout(this);
    row->addLayout(left);
    row->addLayout(middle);
    row->addStretch();

    // The status runs from the first binding on, shown or not.
    SetStatusPoll(kDtmbStatusTimerId, kDtmbStatusPollMs, false);
    connect(m_tabs, &QTabBar::tabBarClicked, this, &Cdtmb4::OnSelChangeChannelTab);
    connect(qobject_cast<QLineEdit*>(b.Control("freq1")), &QLineEdit::textEdited, this,
            &Cdtmb4::OnChangeFirstFrequency);
}

Cdtmb4::~Cdtmb4() = default;

void Cdtmb4::OnInitialUpdate() {
    m_logic = std::make_unique<Dtmb4Logic>(m_pageParam);
    const Dtmb4Variant& v = m_logic->Variant();
    m_binder->SetUsed("power", !v.wholePower);
    m_binder->SetUsed("powerWhole", v.wholePower);
    m_binder->SetUsed("pidTracking", v.pidTracking);
    m_powerUnit->setText(v.powerUnit);
    // The unit stands beside the power field the variant uses (tenths in row 0, whole units in row 1).
    if (auto* grid = qobject_cast<QGridLayout*>(m_powerUnit->parentWidget()->layout())) {
        grid->removeWidget(m_powerUnit);
        grid->addWidget(m_powerUnit, v.wholePower ? 1 : 0, 2);
    }
    // Each lamp shows its own channel's lock bit, whichever of the others the variant leaves out.
    for (int k = 0; k < kDtmbChannels; ++k) {
        m_locks[size_t(k)]->setVisible(v.locks >> k & 1);
        m_lockLabels[size_t(k)]->setVisible(v.locks >> k & 1);
    }
    // Variants without lamps hide their caption too; with no rates either the box goes (the channel
    // count sets the rate fields and the box).
    m_lockCaption->setVisible(v.locks != 0);
    ApplyChannelCount();
    ShowBlock();
    SetTimer(kDtmbStatusTimerId, kDtmbStatusPollMs);
}

void Cdtmb4::ApplyChannelCount() {
    const int count = m_logic->TabCount();
    while (m_tabs->count())
        m_tabs->removeTab(0);
    for (int k = 1; k <= count; ++k)
        m_tabs->addTab(QString("Channel %1").arg(k));
    m_tabs->setVisible(m_logic->TabsShown());
    // Every channel's frequency goes out with a Set, shown or not: the hidden ones follow channel 1 too.
    for (int k = 1; k <= kDtmbChannels; ++k) {
        m_binder->SetUsed(DtmbKey("freq", k), true);
        m_binder->Control(DtmbKey("freq", k))->setVisible(k <= count);
        m_binder->Label(DtmbKey("freq", k))->setVisible(k <= count);
    }
    // Six channels bring the bitrate fields of channels 2 to 6 with them.
    const Dtmb4Variant& v = m_logic->Variant();
    for (int k = 0; k < kDtmbChannels; ++k) {
        const bool shown = k < v.rates || (count == kDtmbChannels && k > 0);
        m_rates[size_t(k)]->setVisible(shown);
        m_rateLabels[size_t(k)]->setVisible(shown);
    }
    m_status->setVisible(v.locks != 0 || v.rates > 0 || count == kDtmbChannels);
    // A new set of channel tabs starts with the first in front.
    m_front = 0;
    m_tabs->setCurrentIndex(m_front);
    ShowChannel(m_front);
}

void Cdtmb4::ShowChannel(int channel) {
    const Dtmb4Variant& v = m_logic->Variant();
    for (int k = 1; k <= kDtmbChannels; ++k) {
        const bool front = k == channel + 1;
        m_binder->SetUsed(DtmbKey("enable", k), front);
        m_binder->SetUsed(DtmbKey("att", k), front && v.att);
        m_binder->SetUsed(DtmbKey("ts", k), front && v.ids);
        m_binder->SetUsed(DtmbKey("net", k), front && v.ids);
        const char* psi[] = {"pat", "sdt", "nit", "pmt", "cat"};
        for (int p = 0; p < 5; ++p)
            m_binder->SetUsed(DtmbKey(psi[p], k), front && (v.psi >> p & 1));
    }
    m_channelForms->setCurrentIndex(channel);
    m_front = channel;
}

void Cdtmb4::OnSelChangeChannelTab(int tab) {
    if (!m_logic || tab < 0 || tab == m_front)
        return;
    PageStep refused;
    // The fields of the channel in front go into its record first; a refused one keeps it in front.
    if (!m_logic->Store(m_binder->Inputs(), &refused)) {
        m_tabs->setCurrentIndex(m_front);
        RefuseSwitch(refused);
        return;
    }
    m_tabs->setCurrentIndex(tab);
    ShowChannel(tab);
    ShowBlock();
}

void Cdtmb4::OnChangeFirstFrequency() {
    const std::string text = qobject_cast<QLineEdit*>(m_binder->Control("freq1"))->text().toStdString();
    const int base = std::atoi(text.substr(0, text.find('.')).c_str());
    for (int k = 2; k <= kDtmbChannels; ++k)
        qobject_cast<QLineEdit*>(m_binder->Control(DtmbKey("freq", k)))
            ->setText(QString::number(base + 8 * (k - 1)));
}

void Cdtmb4::ShowBlock() {
    m_binder->Show(m_logic->Block());
}

void Cdtmb4::OnRefresh(unsigned what, bool refreshed) {
    if (what & Dtmb4Logic::kRefreshChannels)
        ApplyChannelCount();
    if (what & Dtmb4Logic::kRefreshTabControl)
        m_tabs->setVisible(m_logic->TabsShown());
    CBlockPageView::OnRefresh(what, refreshed);
    if (what & Dtmb4Logic::kRefreshStatus) {
        for (int k = 0; k < kDtmbChannels; ++k)
            SetLamp(m_locks[size_t(k)], m_logic->Locks() >> k & 1);
        for (int k = 0; k < int(m_logic->Rates().size()); ++k)
            m_rates[size_t(k)]->setText(QString::fromStdString(m_logic->Rates()[size_t(k)]));
    }
}

}  // namespace nms
