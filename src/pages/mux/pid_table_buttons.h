// The six buttons of the PID table pages (filter and pass-through) and the actions they start, and the
// rows of the PID lists (filter, monitor).
#pragma once

#include <cstdint>
#include <string>

class QPushButton;
class QTableWidget;
class QWidget;

namespace nms {

// Row `row` of a PID list: its number (the item data holds the PID) and the PID's text.
void SetPidRow(QTableWidget* list, int row, int number, uint16_t pid, const std::string& text);

class PidTableButtons {
public:
    virtual ~PidTableButtons() = default;

    virtual void OnGet() = 0;
    virtual void OnSet() = 0;
    virtual void OnAddPid() = 0;
    virtual void OnEdit() = 0;
    virtual void OnDelete() = 0;
    virtual void OnEmpty() = 0;

    QPushButton* GetButton() const { return m_get; }
    QPushButton* SetButton() const { return m_set; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* EditButton() const { return m_edit; }
    QPushButton* DeleteButton() const { return m_delete; }
    QPushButton* EmptyButton() const { return m_empty; }

protected:
    // The buttons as children of page, each connected to its action; captioned: with their captions
    // now, else the page sets them when it is bound.
    void MakeButtons(QWidget* page, bool captioned);
    void SetCaptions();

    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_empty = nullptr;
};

}  // namespace nms
