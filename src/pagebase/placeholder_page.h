// A device page whose own controls are not built into this program: it shows its class name and the
// page variant, and otherwise behaves as every page (binding, reply routing, waits).
#pragma once

#include <string>

#include "pagebase/form_template_view.h"

class QLabel;

namespace nms {

class CPlaceholderPage : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CPlaceholderPage(const std::string& className, QWidget* parent = nullptr);

    const std::string& ClassName() const { return m_className; }
    // What the page shows, e.g. "Cqam4 (PageParam 35)".
    QString Text() const;

protected:
    void OnInitialUpdate() override;

private:
    std::string m_className;
    QLabel* m_label;
};

}  // namespace nms
