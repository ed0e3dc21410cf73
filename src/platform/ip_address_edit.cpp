#include "platform/ip_address_edit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "platform/prompt.h"

namespace nms {

CIPAddressCtrl::CIPAddressCtrl(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), this);
    for (int i = 0; i < 4; ++i) {
        auto* field = new QLineEdit(this);
        field->setValidator(digits);
        field->setMaxLength(3);
        field->setAlignment(Qt::AlignCenter);
        field->setFixedWidth(field->fontMetrics().horizontalAdvance("0000") + 8);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i](const QString& text) { OnEdited(i, text); });
        m_fields[i] = field;
        layout->addWidget(field);
        if (i < 3)
            layout->addWidget(new QLabel(".", this));
    }
    layout->addStretch(1);
    setFocusProxy(m_fields[0]);
}

void CIPAddressCtrl::OnEdited(int index, const QString& text) {
    if (!text.isEmpty() && text.toInt() > 255) {
        m_fields[index]->setText(m_lastGood[index]);
        ShowMessageBox("Please enter an integer between 0 and 255.");
        m_fields[index]->setFocus();
        return;
    }
    m_lastGood[index] = text;
    if (text.size() == 3 && index < 3) {
        m_fields[index + 1]->setFocus();
        m_fields[index + 1]->selectAll();
    }
}

bool CIPAddressCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    for (int i = 0; i < 4; ++i) {
        if (watched != m_fields[i])
            continue;
        QLineEdit* f = m_fields[i];
        if ((key->text() == "." || key->key() == Qt::Key_Space) && i < 3) {
            if (!f->text().isEmpty()) {
                m_fields[i + 1]->setFocus();
                m_fields[i + 1]->selectAll();
            }
            return true;
        }
        if (key->key() == Qt::Key_Backspace && f->cursorPosition() == 0 && !f->hasSelectedText() && i > 0) {
            m_fields[i - 1]->setFocus();
            m_fields[i - 1]->end(false);
            return true;
        }
        if (key->key() == Qt::Key_Right && f->cursorPosition() == f->text().size() && i < 3) {
            m_fields[i + 1]->setFocus();
            m_fields[i + 1]->home(false);
            return true;
        }
        if (key->key() == Qt::Key_Left && f->cursorPosition() == 0 && i > 0) {
            m_fields[i - 1]->setFocus();
            m_fields[i - 1]->end(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

std::string CIPAddressCtrl::GetAddressText() const {
    uint8_t a, b, c, d;
    GetAddress(a, b, c, d);
    return std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) + "." + std::to_string(d);
}

bool CIPAddressCtrl::SetAddressText(const std::string& dotted) {
    const QStringList parts = QString::fromStdString(dotted).split('.');
    std::array<uint8_t, 4> v{};
    bool good = parts.size() == 4;
    for (int i = 0; good && i < 4; ++i) {
        bool ok = false;
        const int n = parts[i].toInt(&ok);
        good = ok && parts[i].size() <= 3 && n >= 0 && n <= 255;
        if (good)
            v[i] = uint8_t(n);
    }
    if (!good) {
        ClearAddress();
        return false;
    }
    SetAddress(v[0], v[1], v[2], v[3]);
    return true;
}

void CIPAddressCtrl::GetAddress(uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d) const {
    uint8_t* out[4] = {&a, &b, &c, &d};
    for (int i = 0; i < 4; ++i)
        *out[i] = uint8_t(qBound(0, m_fields[i]->text().toInt(), 255));
}

void CIPAddressCtrl::SetAddress(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    const uint8_t v[4] = {a, b, c, d};
    for (int i = 0; i < 4; ++i) {
        m_lastGood[i] = QString::number(v[i]);
        m_fields[i]->setText(m_lastGood[i]);
    }
}

void CIPAddressCtrl::ClearAddress() {
    for (int i = 0; i < 4; ++i) {
        m_lastGood[i].clear();
        m_fields[i]->clear();
    }
}

bool CIPAddressCtrl::IsBlank() const {
    for (QLineEdit* f : m_fields) {
        if (!f->text().isEmpty())
            return false;
    }
    return true;
}

}  // namespace nms
