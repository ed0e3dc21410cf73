#include "pages/encoder/magnum_cmd_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "platform/codepage.h"

namespace nms {

Cmagnum_cmd4::Cmagnum_cmd4(QWidget* parent) : CFormTemplateView(parent) {
    m_logic = std::make_unique<MagnumCmdLogic>(0);
    m_text = new QPlainTextEdit(this);
    m_pairLabel = new QLabel("Channel:", this);
    m_pair = new QComboBox(this);
    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    m_reset = new QPushButton("Reset", this);
    m_clear = new QPushButton("Clear", this);
    connect(m_get, &QPushButton::clicked, this, &Cmagnum_cmd4::OnGet);
    connect(m_set, &QPushButton::clicked, this, &Cmagnum_cmd4::OnSet);
    connect(m_reset, &QPushButton::clicked, this, &Cmagnum_cmd4::OnReset);
    connect(m_clear, &QPushButton::clicked, this, &Cmagnum_cmd4::OnClear);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pairLabel);
    buttons->addWidget(m_pair);
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addWidget(m_reset);
    buttons->addWidget(m_clear);
    buttons->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_text);
    page->addLayout(buttons);
}

Cmagnum_cmd4::~Cmagnum_cmd4() = default;

void Cmagnum_cmd4::OnInitialUpdate() {
    m_logic = std::make_unique<MagnumCmdLogic>(m_pageParam);
    const bool log = m_logic->LogVariant();
    m_pairLabel->setVisible(!log);
    m_pair->setVisible(!log);
    m_set->setText(log ? "Disable" : "Set");
    m_reset->setText(log ? "Clean" : "Reset");
    m_pair->clear();
    const int pairs = m_pageParam == 81 ? 4 : 2;
    for (int p = 0; p < pairs; ++p)
        m_pair->addItem(QString("Channel %1-%2").arg(2 * p + 1).arg(2 * p + 2));
    m_pair->setCurrentIndex(0);
    SetTimer(kTimerId, kTimerMs);
}

std::string Cmagnum_cmd4::TextBytes() const {
    // The edit keeps line feeds only; the device's lines end in carriage return and line feed.
    const std::string utf8 = m_text->toPlainText().replace("\n", "\r\n").toStdString();
    std::string gbk;
    return Utf8ToGbk(utf8, &gbk) ? gbk : utf8;
}

void Cmagnum_cmd4::OnGet() {
    if (DeviceOnline())
        Carry(m_logic->Get(m_pair->currentIndex(), m_pair->count()));
}

void Cmagnum_cmd4::OnSet() {
    if (m_logic->LogVariant()) {
        m_set->setText(m_set->text() == "Disable" ? "Enable" : "Disable");
        return;
    }
    if (DeviceOnline())
        Carry(m_logic->Set(m_pair->currentIndex(), m_pair->count(), TextBytes()));
}

void Cmagnum_cmd4::OnReset() {
    if (m_logic->LogVariant()) {
        OnClear();
        return;
    }
    if (DeviceOnline())
        Carry(m_logic->Reset(m_pair->currentIndex(), m_pair->count()));
}

void Cmagnum_cmd4::OnClear() {
    m_text->clear();
}

void Cmagnum_cmd4::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    if (!IsBusy())
        if (const auto late = m_logic->HandleLate(reply)) {
            Carry(*late);
            return;
        }
    Carry(m_logic->HandleReply(reply));
}

void Cmagnum_cmd4::OnRefresh(unsigned what, bool refreshed) {
    if (what & MagnumCmdLogic::kRefreshText)
        m_text->setPlainText(QString::fromStdString(GbkToUtf8(m_logic->Text())).replace("\r\n", "\n"));
    if (what & MagnumCmdLogic::kRefreshLog) {
        m_text->moveCursor(QTextCursor::End);
        m_text->insertPlainText(QString::fromStdString(GbkToUtf8(m_logic->TakeLog())).replace("\r\n", "\n"));
        m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
    }
}

void Cmagnum_cmd4::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
