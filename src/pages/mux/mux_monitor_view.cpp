#include "pages/mux/mux_monitor_view.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pagebase/graph_ctrl.h"
#include "platform/resource_icons.h"

namespace nms {
namespace {

constexpr int kRedLamp = 212;
constexpr int kGreenLamp = 213;
constexpr int kChartId = 1000;

QLineEdit* MakeEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setMaximumWidth(120);
    return edit;
}

}  // namespace

CMuxMonitorView::CMuxMonitorView(QWidget* parent) : CFormTemplateView(parent) {
    m_programCountLabel = new QLabel("Program Count:", this);
    m_bitrateLabel = new QLabel("BitRate:", this);
    m_highestLabel = new QLabel("MAX BitRate:", this);
    m_lowestLabel = new QLabel("MIN BitRate:", this);
    m_programCountBLabel = new QLabel(this);
    m_bitrateBLabel = new QLabel(this);
    m_highestBLabel = new QLabel(this);
    m_programCountA = MakeEdit(this);
    m_bitrateA = MakeEdit(this);
    m_highestA = MakeEdit(this);
    m_lowestA = MakeEdit(this);
    m_programCountB = MakeEdit(this);
    m_bitrateB = MakeEdit(this);
    m_highestB = MakeEdit(this);
    m_status = new QLabel(this);

    auto* values = new QGridLayout;
    values->addWidget(m_programCountLabel, 0, 0);
    values->addWidget(m_programCountA, 0, 1);
    values->addWidget(m_bitrateLabel, 0, 2);
    values->addWidget(m_bitrateA, 0, 3);
    values->addWidget(m_highestLabel, 0, 4);
    values->addWidget(m_highestA, 0, 5);
    values->addWidget(m_lowestLabel, 0, 6);
    values->addWidget(m_lowestA, 0, 7);
    values->addWidget(m_programCountBLabel, 1, 0);
    values->addWidget(m_programCountB, 1, 1);
    values->addWidget(m_bitrateBLabel, 1, 2);
    values->addWidget(m_bitrateB, 1, 3);
    values->addWidget(m_highestBLabel, 1, 4);
    values->addWidget(m_highestB, 1, 5);
    values->setColumnStretch(8, 1);

    // Four lamps to a row: eight in one row, with their bitrates, were wider than the main window's page
    // area.
    auto* lockGrid = new QGridLayout;
    lockGrid->setHorizontalSpacing(6);
    for (size_t i = 0; i < 8; ++i) {
        m_lockIcons[i] = new QLabel(this);
        m_lockIcons[i]->setFixedSize(16, 16);
        m_lockLabels[i] = new QLabel(this);
        const int row = int(i) / 4;
        const int column = int(i) % 4 * 2;
        lockGrid->addWidget(m_lockIcons[i], row, column);
        lockGrid->addWidget(m_lockLabels[i], row, column + 1);
    }
    for (int column = 1; column < 8; column += 2)
        lockGrid->setColumnMinimumWidth(column, 60);
    auto* locks = new QHBoxLayout;
    locks->addLayout(lockGrid);
    locks->addSpacing(12);
    locks->addWidget(m_status, 0, Qt::AlignTop);
    locks->addStretch();

    m_placeholder = new QFrame(this);
    m_placeholder->setFrameShape(QFrame::NoFrame);
    m_placeholder->setMinimumSize(200, 150);
    m_placeholder->installEventFilter(this);

    auto* column = new QVBoxLayout(this);
    column->addLayout(values);
    column->addLayout(locks);
    column->addWidget(m_placeholder, 1);

    for (QWidget* w : std::initializer_list<QWidget*>{m_programCountBLabel, m_programCountB, m_bitrateBLabel,
                                                      m_bitrateB, m_highestBLabel, m_highestB})
        w->hide();
}

CMuxMonitorView::~CMuxMonitorView() {
    // The chart reads the logic's series: it goes first.
    delete m_chart;
    m_chart = nullptr;
}

void CMuxMonitorView::OnInitialUpdate() {
    if (!m_logic || m_logic->PageParam() != m_pageParam) {
        // The series belong to the logic: a chart showing the old ones goes with it.
        delete m_chart;
        m_chart = nullptr;
        m_logic = std::make_unique<MuxMonitorLogic>(m_pageParam);
    }
    const bool two = m_logic->IsTwoOutput();
    m_programCountLabel->setText(two ? "A Port Programs:" : "Program Count:");
    m_bitrateLabel->setText(two ? "A Port Bitrate:" : "BitRate:");
    m_highestLabel->setText(two ? "A Port Max Bitrate:" : "MAX BitRate:");
    m_lowestLabel->setText("MIN BitRate:");
    m_programCountBLabel->setText(two ? "B Port Programs:" : "");
    m_bitrateBLabel->setText(two ? "B Port Bitrate:" : "");
    m_highestBLabel->setText(two ? "B Port Max Bitrate:" : "");
    for (QWidget* w : std::initializer_list<QWidget*>{m_programCountBLabel, m_programCountB, m_bitrateBLabel,
                                                      m_bitrateB, m_highestBLabel, m_highestB})
        w->setVisible(two);
    m_programCountLabel->setVisible(m_logic->ShowsProgramCount());
    m_programCountA->setVisible(m_logic->ShowsProgramCount());

    const int shown = m_logic->ChannelCount();
    for (int n = 1; n <= 8; ++n) {
        m_lockIcons[size_t(n - 1)]->setVisible(n <= shown);
        m_lockLabels[size_t(n - 1)]->setVisible(n <= shown);
        m_lockIcons[size_t(n - 1)]->setPixmap(IconById(kRedLamp).pixmap(16, 16));
        m_shownGreen[size_t(n - 1)] = false;
        m_lockLabels[size_t(n - 1)]->setText(QString::fromStdString(m_logic->ChannelLabel(n)));
    }

    if (!m_chart) {
        m_chart = new CGraphCtrl(m_placeholder);
        const QRect area = m_placeholder->contentsRect();
        m_chart->Create(QString(), area, m_placeholder, kChartId);
        m_chart->AddSeries(&m_logic->firstSeries);
        if (m_logic->IsTwoOutput())
            m_chart->AddSeries(&m_logic->secondSeries);
    }
    UpdateData(false);
}

bool CMuxMonitorView::LockShowsGreen(int channel) const {
    return channel >= 1 && channel <= 8 && m_shownGreen[size_t(channel - 1)];
}

QLabel* CMuxMonitorView::CaptionLabel(int id) const {
    switch (id) {
        case 1271:
            return m_programCountLabel;
        case 1272:
            return m_bitrateLabel;
        case 1273:
            return m_highestLabel;
        case 1633:
            return m_lowestLabel;
        case 1328:
            return m_programCountBLabel;
        case 1330:
            return m_bitrateBLabel;
        case 1332:
            return m_highestBLabel;
        default:
            return nullptr;
    }
}

void CMuxMonitorView::OnShowWindow(bool shown) {
    if (!shown) {
        KillTimer(kMonitorTimerId);
        return;
    }
    if (!m_device || !m_logic)
        return;
    m_logic->RestartExtremes();
    if (IsDeviceOnline(m_device) > 0 && !m_device->busy.load())
        SendCommand(kCmdMonitorVersion, 1, 1, m_device, nullptr, 0);
    SetTimer(kMonitorTimerId, kMonitorPollMs);
}

void CMuxMonitorView::Poll() {
    // Only while a device is bound, online and not waiting for another page's reply.
    if (!m_device || !m_logic || IsDeviceOnline(m_device) <= 0 || m_device->busy.load())
        return;
    Carry(PageStep::Poll(kCmdRealTimeStatus, m_logic->PollPayload()));
}

void CMuxMonitorView::OnTimer(int id) {
    if (id == kMonitorTimerId)
        Poll();
    CFormTemplateView::OnTimer(id);
}

void CMuxMonitorView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !m_logic || reply.Command() != kCmdRealTimeStatus)
        return;
    Carry(m_logic->OnStatusReply(reply, device->version.load()));
}

void CMuxMonitorView::OnRefresh(unsigned what, bool refreshed) {
    if (what & MuxMonitorLogic::kRefreshLocks) {
        ShowLocks();
        if (m_chart)
            m_chart->update();
    }
    CFormTemplateView::OnRefresh(what, refreshed);
}

void CMuxMonitorView::ShowLocks() {
    const QPixmap red = IconById(kRedLamp).pixmap(16, 16);
    const QPixmap green = IconById(kGreenLamp).pixmap(16, 16);
    for (size_t i = 0; i < 8; ++i) {
        const bool g = m_logic->lockGreen[i];
        if (g != m_shownGreen[i] || m_lockIcons[i]->pixmap().isNull())
            m_lockIcons[i]->setPixmap(g ? green : red);
        m_shownGreen[i] = g;
    }
}

bool CMuxMonitorView::DoDataExchange(bool collect) {
    if (collect || !m_logic)
        return true;  // nothing here is typed by the operator
    const MuxMonitorLogic& l = *m_logic;
    m_programCountA->setText(QString::number(l.programCountA));
    m_bitrateA->setText(QString::fromStdString(l.bitrateA));
    m_highestA->setText(QString::fromStdString(l.highestA));
    m_lowestA->setText(QString::fromStdString(l.lowestA));
    m_programCountB->setText(QString::number(l.programCountB));
    m_bitrateB->setText(QString::fromStdString(l.bitrateB));
    m_highestB->setText(QString::fromStdString(l.highestB));
    m_status->setText(QString::fromStdString(l.statusLabel));
    for (size_t i = 0; i < 8; ++i)
        m_lockLabels[i]->setText(QString::fromStdString(l.channelLabels[i]));
    return true;
}

void CMuxMonitorView::FitChart() {
    if (!m_chart)
        return;
    const QRect area = m_placeholder->contentsRect();
    m_chart->SetChartRect(GraphRect{0, 0, area.width(), area.height()});
    m_chart->setGeometry(area);
}

bool CMuxMonitorView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_placeholder && event->type() == QEvent::Resize)
        FitChart();
    return CFormTemplateView::eventFilter(watched, event);
}

}  // namespace nms
