#include "pagebase/placeholder_page.h"

#include <QLabel>
#include <QVBoxLayout>

namespace nms {

CPlaceholderPage::CPlaceholderPage(const std::string& className, QWidget* parent)
    : CFormTemplateView(parent), m_className(className), m_label(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    m_label->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_label);
    OnInitialUpdate();
}

QString CPlaceholderPage::Text() const {
    return m_label->text();
}

void CPlaceholderPage::OnInitialUpdate() {
    // PageParam is set before every binding, which runs this again.
    m_label->setText(QString("%1 (PageParam %2)").arg(QString::fromStdString(m_className)).arg(m_pageParam));
}

}  // namespace nms
