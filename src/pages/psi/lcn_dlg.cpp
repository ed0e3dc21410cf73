#include "pages/psi/lcn_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "pagebase/text_conversion.h"
#include "pages/psi/nit_ts_entry.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {
namespace {

// A whole number in [0, max] from a text of digits; false when it is not one or does not fit.
bool ParseBounded(const std::string& text, uint32_t max, uint32_t* value) {
    if (text.empty() || text.size() > 10 || !IsDecimalText(text))
        return false;
    const unsigned long long v = std::stoull(text);
    if (v > max)
        return false;
    *value = static_cast<uint32_t>(v);
    return true;
}

}  // namespace

CLcnDlg::CLcnDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("LCN");
    m_serviceIdEdit = new QLineEdit(this);
    m_serviceIdEdit->setMaxLength(5);
    m_lcnEdit = new QLineEdit(this);
    m_lcnEdit->setMaxLength(4);
    m_hex = new QRadioButton("Hex", this);
    m_decimal = new QRadioButton("Decimal", this);
    m_channelListIdEdit = new QLineEdit(this);
    m_channelListNameEdit = new QLineEdit(this);
    m_channelListNameEdit->setMaxLength(kLcnMaxChannelListName);
    m_countryCodeEdit = new QLineEdit(this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Service ID:", this), 0, 0);
    grid->addWidget(m_serviceIdEdit, 0, 1);
    grid->addWidget(new QLabel("LCN:", this), 1, 0);
    grid->addWidget(m_lcnEdit, 1, 1);
    auto* radios = new QHBoxLayout;
    radios->addWidget(m_hex);
    radios->addWidget(m_decimal);
    grid->addLayout(radios, 2, 0, 1, 2);
    m_nordigGroup = new QGroupBox("NORDIG (Decimal)", this);
    auto* nordig = new QGridLayout(m_nordigGroup);
    nordig->addWidget(new QLabel("Channel list id:", m_nordigGroup), 0, 0);
    nordig->addWidget(m_channelListIdEdit, 0, 1);
    nordig->addWidget(new QLabel("Channel list name:", m_nordigGroup), 1, 0);
    nordig->addWidget(m_channelListNameEdit, 1, 1);
    nordig->addWidget(new QLabel("Country Code:", m_nordigGroup), 2, 0);
    nordig->addWidget(m_countryCodeEdit, 2, 1);
    grid->addWidget(m_nordigGroup, 3, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    grid->addWidget(buttons, 4, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &CLcnDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_hex, &QRadioButton::clicked, this, &CLcnDlg::OnHex);
    connect(m_decimal, &QRadioButton::clicked, this, &CLcnDlg::OnDecimal);
}

int CLcnDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? 1 : 2;
}

void CLcnDlg::OnInitDialog() {
    m_serviceIdEdit->setText(QString::fromStdString(m_serviceIdText));
    m_lcnEdit->setText(QString::fromStdString(m_lcnText));
    m_channelListIdEdit->setText(QString::number(m_channelListId));
    m_channelListNameEdit->setText(QString::fromStdString(GbkToUtf8(m_channelListName)));
    m_countryCodeEdit->setText(QString::number(m_countryCode));
    m_shownDecimal = m_decimalFormat == 1;
    (m_shownDecimal ? m_decimal : m_hex)->setChecked(true);
    m_nordigGroup->setVisible(m_nordig != 0);
}

void CLcnDlg::OnHex() {
    m_hex->setChecked(true);
    // Clicking the format already shown would read the texts in the wrong base.
    if (!m_shownDecimal)
        return;
    m_shownDecimal = false;
    for (QLineEdit* edit : {m_serviceIdEdit, m_lcnEdit})
        edit->setText(QString::asprintf("%X", ParseFirstNumber(edit->text().toStdString()) & 0xFFFF));
}

void CLcnDlg::OnDecimal() {
    m_decimal->setChecked(true);
    if (m_shownDecimal)
        return;
    m_shownDecimal = true;
    for (QLineEdit* edit : {m_serviceIdEdit, m_lcnEdit})
        edit->setText(QString::asprintf("%d", HexTextToUInt32(edit->text().toStdString()) & 0xFFFF));
}

void CLcnDlg::OnOK() {
    const bool decimal = m_decimal->isChecked();
    const std::string texts[2] = {m_serviceIdEdit->text().trimmed().toStdString(),
                                  m_lcnEdit->text().trimmed().toStdString()};
    QLineEdit* edits[2] = {m_serviceIdEdit, m_lcnEdit};
    uint32_t values[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        if (decimal ? !IsDecimalText(texts[i]) : !IsHexText(texts[i])) {
            ShowMessageBox("should be 0-9,a-f or A-F!");
            edits[i]->setFocus();
            return;
        }
        values[i] = texts[i].empty() ? 0
                    : decimal        ? static_cast<uint32_t>(ParseFirstNumber(texts[i]))
                                     : HexTextToUInt32(texts[i]);
        // Both are 16 bits on the wire: refuse what would be cut.
        if (values[i] > 0xFFFF) {
            ShowMessageBox(decimal ? "Please enter an integer between 0 and 65535."
                                   : "Please enter an integer between 0x0 and 0xffff.");
            edits[i]->setFocus();
            return;
        }
    }
    uint32_t listId = 0, country = 0;
    std::string name;
    if (m_nordig) {
        if (!ParseBounded(m_channelListIdEdit->text().trimmed().toStdString(), 0xFF, &listId)) {
            ShowMessageBox("Please enter an integer between 0 and 255.");
            m_channelListIdEdit->setFocus();
            return;
        }
        Utf8ToGbk(m_channelListNameEdit->text().toStdString(), &name);
        if (name.size() > static_cast<size_t>(kLcnMaxChannelListName)) {
            ShowMessageBox("Please enter no more than 254 characters.");
            m_channelListNameEdit->setFocus();
            return;
        }
        if (!ParseBounded(m_countryCodeEdit->text().trimmed().toStdString(), 0xFFFFFF, &country)) {
            ShowMessageBox("Please enter an integer between 0 and 16777215.");
            m_countryCodeEdit->setFocus();
            return;
        }
    }
    m_serviceIdText = texts[0];
    m_lcnText = texts[1];
    m_decimalFormat = decimal ? 1 : 0;
    m_serviceId = static_cast<uint16_t>(values[0]);
    m_lcnValue = static_cast<uint16_t>(values[1]);
    if (m_nordig) {
        m_channelListId = static_cast<int>(listId);
        m_channelListName = name;
        m_countryCode = country;
    }
    accept();
}

}  // namespace nms
