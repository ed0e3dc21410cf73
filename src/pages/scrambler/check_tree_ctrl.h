// The program tree of the scrambler pages: a tree whose items carry a check mark of three values (1 empty
// box, 2 check mark, 3 cross; 0 no check image). A click on an item's check image is reported to the
// owning page first (CheckImageClicked, with the value the item is about to take), then the item advances
// 1 -> 2 -> 3 -> 1, or 1 -> 2 -> 1 when the tree has only two images, unless the page gave it a value of its
// own meanwhile. What the values mean and how a
// click spreads to other items is the page's business.
#pragma once

#include <QTreeWidget>

namespace nms {

class CCheckTreeCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CCheckTreeCtrl(QWidget* parent = nullptr);

    // 1..3 set the value and return 1; any other value leaves the item as it is (and returns 1).
    int SetCheck(QTreeWidgetItem* item, unsigned value);
    // The value; with advance set, an item of value 2 first becomes 3.
    int GetCheck(QTreeWidgetItem* item, int advance = 0);
    int GetCheckState(const QTreeWidgetItem* item) const;

    // Values the images offer: 3 (three images), or 2 (the check-box style of two).
    void SetImageCount(int values) { m_values = values == 2 ? 2 : 3; }
    // The value an item takes from a click.
    int NextValue(int value) const { return value >= m_values ? 1 : value + 1; }

    // What a mouse click on the item's check image does; tests call it too.
    void ClickCheckImage(QTreeWidgetItem* item);
    // The check image's rectangle in viewport coordinates (empty without an image).
    QRect CheckImageRect(QTreeWidgetItem* item) const;

signals:
    void CheckImageClicked(QTreeWidgetItem* item, int newValue);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_values = 3;
};

}  // namespace nms
