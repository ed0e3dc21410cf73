// Small pieces the encoder pages share on screen: list entries chosen for values a list has no entry
// for, sliders coupled to their number edits, the encoding channel list and boxed groups of fields.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/form_binder.h"
#include "pages/encoder/encoder_fields.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QSlider;
class QWidget;

namespace nms {

// The selection of a list or radio-row control (-1 none), and selecting one.
int ListSelection(const QWidget* control);
void SelectListEntry(QWidget* control, int index);

// After binder.Show(block): lists whose value has no entry show their fallback entry.
void ShowFallbacks(FormBinder& binder, const ParamBlock& block, const std::vector<ListFallback>& fallbacks);

// A slider over [min, max] that writes its position into edit when the operator moves or releases it,
// and follows the edit's value (clamped to [clampMin, clampMax]) when the operator leaves the edit.
QSlider* CoupleSlider(QLineEdit* edit, int min, int max, int clampMin, int clampMax, QWidget* parent);
// Moves the slider to the edit's number, clamped; nothing when the edit holds no number.
void FollowEdit(QSlider* slider, const QLineEdit* edit, int clampMin, int clampMax);

// The encoding channel list: "Channel 1" ... "Channel count", the first selected.
void FillChannels(QComboBox* combo, const std::vector<std::string>& names);
// The selected channel, or none.
std::optional<int> SelectedChannel(const QComboBox* combo);
// The four-channel encoders' list ("Channel 1" ... "Channel 4"), or none.
std::vector<std::string> EncodingChannels(bool channels);

// A titled box holding the keys' captions and controls in rows.
QGroupBox* FieldGroup(const QString& title, FormBinder& binder, const std::vector<std::string>& keys,
                      QWidget* parent);

}  // namespace nms
