// The widgets of a field table: one control (and its caption) per field, filled from a parameter block
// and collected back into it. The page lays the controls out and adds its own rules; the binder does the
// rest. Fields a variant does not use are hidden and not collected, so their bytes go back as read.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/field_table.h"

class QButtonGroup;
class QGridLayout;
class QLabel;
class QWidget;

namespace nms {

class FormBinder {
public:
    // Creates the controls of every field of table (kept alive by the caller) as children of parent.
    FormBinder(const FieldTable& table, QWidget* parent);

    const FieldTable& Table() const { return *m_table; }

    QWidget* Control(const std::string& key) const;
    QLabel* Label(const std::string& key) const;
    int Index(const std::string& key) const { return FindField(*m_table, key); }

    // A field the variant uses: shown and collected. Unused fields are hidden and keep their bytes.
    void SetUsed(const std::string& key, bool used);
    bool IsUsed(const std::string& key) const;
    // Removes every caption label, for forms that show their own column headings.
    void DropLabels();
    // Enables or disables a used field's control (it is still collected).
    void SetEnabled(const std::string& key, bool enabled);

    // Block to controls (every field, used or not, so hidden controls keep the values last read).
    void Show(const ParamBlock& block);
    void ShowField(const std::string& key, const ParamBlock& block);
    // The form as the field table reads it; unused fields give nothing.
    std::vector<std::optional<FieldInput>> Inputs() const;
    // Sets the keyboard focus on field index (after a refused check).
    void Focus(int index) const;
    // Inputs + CollectFields + focus on the refused field. The message is for the caller to show.
    CollectResult Collect(ParamBlock& block) const;

    // Adds caption/control rows for the keys, from row on, in two columns.
    void AddRows(QGridLayout* grid, const std::vector<std::string>& keys, int row = 0, int column = 0) const;
    // Moves the keys' captions and controls into box and lays them out in rows of a new grid of the box,
    // from row on; column stretchColumn takes the spare width.
    QGridLayout* AddRowsTo(QWidget* box, const std::vector<std::string>& keys, int row = 0,
                           int stretchColumn = 2) const;

private:
    struct Entry {
        QLabel* label = nullptr;
        QWidget* control = nullptr;
        QButtonGroup* radios = nullptr;  // radio fields: the buttons, ids = choice indexes
        bool used = true;
    };
    FieldInput Input(size_t index) const;
    void SetInput(size_t index, const FieldInput& in);

    const FieldTable* m_table;
    std::vector<Entry> m_entries;
};

// Keeps a field at least wide enough to show sample whole in its own font, frame and margins included.
void KeepWideEnoughFor(QWidget* field, const QString& sample);

}  // namespace nms
