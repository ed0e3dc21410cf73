// A flat tool bar drawn in the program's own colours: hot, checked and pressed buttons get a framed,
// light-blue face; other buttons show the bar's background.
#pragma once

#include <QColor>
#include <QToolBar>

namespace nms {

class CToolBarXP : public QToolBar {
    Q_OBJECT
public:
    static constexpr QColor kBackground{239, 237, 222};
    static constexpr QColor kHotFill{193, 210, 238};
    static constexpr QColor kFramePen{49, 106, 197};

    explicit CToolBarXP(QWidget* parent = nullptr);
    explicit CToolBarXP(const QString& title, QWidget* parent = nullptr);

protected:
    void actionEvent(QActionEvent* event) override;
};

}  // namespace nms
