#include "pages/encoder/encoder_widgets.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>

namespace nms {

int ListSelection(const QWidget* control) {
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentIndex();
    if (!control)
        return -1;
    const QList<QRadioButton*> radios = control->findChildren<QRadioButton*>();
    for (int i = 0; i < radios.size(); ++i)
        if (radios[i]->isChecked())
            return i;
    return -1;
}

void SelectListEntry(QWidget* control, int index) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setCurrentIndex(index);
        return;
    }
    if (!control)
        return;
    // The row's buttons are one exclusive group: checking one clears the others.
    const QList<QRadioButton*> radios = control->findChildren<QRadioButton*>();
    if (index >= 0 && index < radios.size())
        radios[index]->setChecked(true);
}

void ShowFallbacks(FormBinder& binder, const ParamBlock& block, const std::vector<ListFallback>& fallbacks) {
    for (const ListFallback& f : fallbacks) {
        const int i = binder.Index(f.key);
        if (i < 0 || ShowField(binder.Table()[size_t(i)], block).index >= 0)
            continue;
        SelectListEntry(binder.Control(f.key), f.index);
    }
}

void FollowEdit(QSlider* slider, const QLineEdit* edit, int clampMin, int clampMax) {
    bool ok = false;
    const long long v = edit->text().toLongLong(&ok);
    if (ok)
        slider->setValue(int(std::clamp<long long>(v, clampMin, clampMax)));
}

QSlider* CoupleSlider(QLineEdit* edit, int min, int max, int clampMin, int clampMax, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(min, max);
    auto toEdit = [slider, edit] { edit->setText(QString::number(slider->sliderPosition())); };
    QObject::connect(slider, &QSlider::actionTriggered, edit, toEdit);
    QObject::connect(slider, &QSlider::sliderReleased, edit, toEdit);
    QObject::connect(edit, &QLineEdit::editingFinished, slider,
                     [slider, edit, clampMin, clampMax] { FollowEdit(slider, edit, clampMin, clampMax); });
    return slider;
}

void FillChannels(QComboBox* combo, const std::vector<std::string>& names) {
    combo->clear();
    for (const std::string& name : names)
        combo->addItem(QString::fromStdString(name));
    combo->setCurrentIndex(names.empty() ? -1 : 0);
}

std::optional<int> SelectedChannel(const QComboBox* combo) {
    if (!combo || combo->currentIndex() < 0)
        return std::nullopt;
    return combo->currentIndex();
}

std::vector<std::string> EncodingChannels(bool channels) {
    if (!channels)
        return {};
    return {"Channel 1", "Channel 2", "Channel 3", "Channel 4"};
}

QGroupBox* FieldGroup(const QString& title, FormBinder& binder, const std::vector<std::string>& keys,
                      QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    binder.AddRowsTo(box, keys);
    return box;
}

}  // namespace nms
