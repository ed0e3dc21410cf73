#include "pages/scrambler/check_tree_ctrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace nms {
namespace {

constexpr int kRole = Qt::UserRole + 77;
constexpr int kImage = 13;

// The three 13 x 13 images: an empty box, a check mark and a cross.
QIcon CheckImage(int value) {
    static QIcon images[4];
    if (images[value].isNull()) {
        QPixmap pixmap(kImage, kImage);
        pixmap.fill(Qt::white);
        QPainter p(&pixmap);
        p.setPen(QPen(Qt::darkGray, 1));
        p.drawRect(0, 0, kImage - 1, kImage - 1);
        if (value == 2) {
            p.setPen(QPen(QColor(0, 128, 0), 2));
            p.drawLine(3, 6, 5, 9);
            p.drawLine(5, 9, 10, 3);
        } else if (value == 3) {
            p.setPen(QPen(QColor(192, 0, 0), 2));
            p.drawLine(3, 3, 9, 9);
            p.drawLine(9, 3, 3, 9);
        }
        p.end();
        images[value] = QIcon(pixmap);
    }
    return images[value];
}

}  // namespace

CCheckTreeCtrl::CCheckTreeCtrl(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(kImage, kImage));
}

int CCheckTreeCtrl::SetCheck(QTreeWidgetItem* item, unsigned value) {
    if (item && value >= 1 && value <= 3) {
        item->setData(0, kRole, int(value));
        item->setIcon(0, CheckImage(int(value)));
    }
    return 1;
}

int CCheckTreeCtrl::GetCheck(QTreeWidgetItem* item, int advance) {
    if (advance && GetCheckState(item) == 2)
        SetCheck(item, 3);
    return GetCheckState(item);
}

int CCheckTreeCtrl::GetCheckState(const QTreeWidgetItem* item) const {
    return item ? item->data(0, kRole).toInt() : 0;
}

void CCheckTreeCtrl::ClickCheckImage(QTreeWidgetItem* item) {
    const int value = GetCheckState(item);
    if (!value)
        return;
    const int next = NextValue(value);
    emit CheckImageClicked(item, next);
    // A page that set the item's value itself (its own rules) keeps it.
    if (GetCheckState(item) == value)
        SetCheck(item, unsigned(next));
}

QRect CCheckTreeCtrl::CheckImageRect(QTreeWidgetItem* item) const {
    if (!GetCheckState(item))
        return {};
    const QRect row = visualItemRect(item);
    return QRect(row.left(), row.top(), iconSize().width() + 6, row.height());
}

void CCheckTreeCtrl::mousePressEvent(QMouseEvent* event) {
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (item && event->button() == Qt::LeftButton &&
        CheckImageRect(item).contains(event->position().toPoint())) {
        ClickCheckImage(item);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

}  // namespace nms
