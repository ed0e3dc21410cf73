#include "pagebase/form_binder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "platform/codepage.h"
#include "platform/ip_address_edit.h"

namespace nms {
namespace {

// Text fields hold code-page bytes; the screen shows them converted.
QString ToScreen(const FieldDef& f, const std::string& text) {
    if (f.codec == Codec::kText)
        return QString::fromStdString(GbkToUtf8(text));
    return QString::fromStdString(text);
}

std::string FromScreen(const FieldDef& f, const QString& text) {
    const std::string utf8 = text.toStdString();
    if (f.codec != Codec::kText)
        return utf8;
    std::string gbk;
    return Utf8ToGbk(utf8, &gbk) ? gbk : utf8;
}

}  // namespace

FormBinder::FormBinder(const FieldTable& table, QWidget* parent) : m_table(&table), m_entries(table.size()) {
    for (size_t i = 0; i < table.size(); ++i) {
        const FieldDef& f = table[i];
        Entry& e = m_entries[i];
        switch (f.control) {
            case Control::kCheck:
                e.control = new QCheckBox(QString::fromStdString(f.label), parent);
                break;
            case Control::kCombo: {
                auto* combo = new QComboBox(parent);
                for (const Choice& c : f.choices)
                    combo->addItem(QString::fromStdString(c.text), QVariant::fromValue<uint>(c.data));
                e.control = combo;
                break;
            }
            case Control::kIpAddress:
                e.control = new CIPAddressCtrl(parent);
                break;
            case Control::kRadio: {
                auto* row = new QWidget(parent);
                auto* layout = new QHBoxLayout(row);
                layout->setContentsMargins(0, 0, 0, 0);
                auto* group = new QButtonGroup(row);
                for (size_t c = 0; c < f.choices.size(); ++c) {
                    auto* radio = new QRadioButton(QString::fromStdString(f.choices[c].text), row);
                    group->addButton(radio, int(c));
                    layout->addWidget(radio);
                }
                layout->addStretch();
                e.control = row;
                e.radios = group;
                break;
            }
            case Control::kEdit:
            case Control::kReadOnly: {
                auto* edit = new QLineEdit(parent);
                edit->setReadOnly(f.control == Control::kReadOnly);
                edit->setMaximumWidth(f.codec == Codec::kText || f.codec == Codec::kMac ? 260 : 140);
                e.control = edit;
                break;
            }
        }
        e.control->setObjectName(QString::fromStdString(f.key));
        if (f.control != Control::kCheck && !f.label.empty())
            e.label = new QLabel(QString::fromStdString(f.label), parent);
    }
}

QWidget* FormBinder::Control(const std::string& key) const {
    const int i = Index(key);
    return i < 0 ? nullptr : m_entries[size_t(i)].control;
}

QLabel* FormBinder::Label(const std::string& key) const {
    const int i = Index(key);
    return i < 0 ? nullptr : m_entries[size_t(i)].label;
}

void FormBinder::SetUsed(const std::string& key, bool used) {
    const int i = Index(key);
    if (i < 0)
        return;
    Entry& e = m_entries[size_t(i)];
    e.used = used;
    e.control->setVisible(used);
    if (e.label)
        e.label->setVisible(used);
}

void FormBinder::DropLabels() {
    for (Entry& e : m_entries) {
        delete e.label;
        e.label = nullptr;
    }
}

bool FormBinder::IsUsed(const std::string& key) const {
    const int i = Index(key);
    return i >= 0 && m_entries[size_t(i)].used;
}

void FormBinder::SetEnabled(const std::string& key, bool enabled) {
    const int i = Index(key);
    if (i < 0)
        return;
    m_entries[size_t(i)].control->setEnabled(enabled);
    if (m_entries[size_t(i)].label)
        m_entries[size_t(i)].label->setEnabled(enabled);
}

void FormBinder::SetInput(size_t i, const FieldInput& in) {
    const FieldDef& f = (*m_table)[i];
    QWidget* w = m_entries[i].control;
    if (QButtonGroup* radios = m_entries[i].radios) {
        // No entry for the value: every button clear.
        radios->setExclusive(false);
        for (QAbstractButton* b : radios->buttons())
            b->setChecked(radios->id(b) == in.index);
        radios->setExclusive(true);
    } else if (auto* check = qobject_cast<QCheckBox*>(w))
        check->setChecked(in.checked);
    else if (auto* combo = qobject_cast<QComboBox*>(w))
        combo->setCurrentIndex(in.index);  // -1: a value the list does not have shows no selection
    else if (auto* ip = qobject_cast<CIPAddressCtrl*>(w))
        ip->SetAddressText(in.text);
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(ToScreen(f, in.text));
}

FieldInput FormBinder::Input(size_t i) const {
    const FieldDef& f = (*m_table)[i];
    QWidget* w = m_entries[i].control;
    FieldInput in;
    if (QButtonGroup* radios = m_entries[i].radios)
        in.index = radios->checkedId();
    else if (auto* check = qobject_cast<QCheckBox*>(w))
        in.checked = check->isChecked();
    else if (auto* combo = qobject_cast<QComboBox*>(w))
        in.index = combo->currentIndex();
    else if (auto* ip = qobject_cast<CIPAddressCtrl*>(w))
        in.text = ip->GetAddressText();
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        in.text = FromScreen(f, edit->text());
    return in;
}

void FormBinder::Show(const ParamBlock& block) {
    for (size_t i = 0; i < m_entries.size(); ++i)
        SetInput(i, nms::ShowField((*m_table)[i], block));
}

void FormBinder::ShowField(const std::string& key, const ParamBlock& block) {
    const int i = Index(key);
    if (i >= 0)
        SetInput(size_t(i), nms::ShowField((*m_table)[size_t(i)], block));
}

std::vector<std::optional<FieldInput>> FormBinder::Inputs() const {
    std::vector<std::optional<FieldInput>> inputs(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].used)
            inputs[i] = Input(i);
    return inputs;
}

void FormBinder::Focus(int index) const {
    if (index < 0 || size_t(index) >= m_entries.size())
        return;
    QWidget* w = m_entries[size_t(index)].control;
    if (auto* ip = qobject_cast<CIPAddressCtrl*>(w))
        w = ip->Field(0);
    w->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->selectAll();
}

CollectResult FormBinder::Collect(ParamBlock& block) const {
    const CollectResult result = CollectFields(*m_table, Inputs(), block);
    if (!result.ok)
        Focus(result.field);
    return result;
}

void FormBinder::AddRows(QGridLayout* grid, const std::vector<std::string>& keys, int row, int column) const {
    for (const std::string& key : keys) {
        const int i = Index(key);
        if (i < 0)
            continue;
        const Entry& e = m_entries[size_t(i)];
        if (e.label)
            grid->addWidget(e.label, row, column);
        grid->addWidget(e.control, row, column + 1);
        ++row;
    }
}

QGridLayout* FormBinder::AddRowsTo(QWidget* box, const std::vector<std::string>& keys, int row,
                                   int stretchColumn) const {
    auto* grid = new QGridLayout(box);
    for (const std::string& key : keys) {
        if (QWidget* control = Control(key))
            control->setParent(box);
        if (QLabel* label = Label(key))
            label->setParent(box);
    }
    AddRows(grid, keys, row);
    grid->setColumnStretch(stretchColumn, 1);
    return grid;
}

void KeepWideEnoughFor(QWidget* field, const QString& sample) {
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(sample) + 12);
}

}  // namespace nms
