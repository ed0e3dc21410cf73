// What the two "PID Passthrough" pages share: the list with its grid, the Get, Set, Add PID, Edit,
// Delete and Empty buttons, the list's columns from the logic, and Get, Set, Delete, Empty, the wait's end
// and the shown page's Get. Each page adds its logic, its rows and its Add/Edit dialog.
#pragma once

#include "pagebase/form_template_view.h"
#include "pages/mux/pid_forward_logic.h"
#include "pages/mux/pid_table_buttons.h"

class QLabel;
class QTreeWidget;

namespace nms {

class CPidPassthroughView : public CFormTemplateView, public PidTableButtons {
    Q_OBJECT
public:
    ~CPidPassthroughView() override;

    void OnTimer(int id) override;

    void OnGet() override;
    void OnSet() override;
    void OnDelete() override;
    void OnEmpty() override;

    QTreeWidget* List() const { return m_list; }

protected:
    // titled: a "PID Passthrough Table" title above the list.
    CPidPassthroughView(QWidget* parent, bool titled);

    void OnShowWindow(bool shown) override;
    void OnStepRefused(const PageStep& step) override;

    virtual PidTableLogic& Table() const = 0;
    virtual void ShowRows() = 0;
    // The captions and exactly the logic's columns, whatever an earlier binding left; then the rows.
    void ShowLayout();
    // False, the operator told, when the table holds all it may.
    bool HasRoom();
    int SelectedRow() const;

    QTreeWidget* m_list;
    QLabel* m_title = nullptr;
};

}  // namespace nms
