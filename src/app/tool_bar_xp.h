// A flat tool bar drawn in the program's own colours: hot, checked and pressed buttons get a framed,
// light-blue face; other buttons show the bar's background.
#pragma once

#include <QColor>
#include <QPixmap>
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

    // The picture tiled behind the bar (the band it sits in); without one the bar is filled with
    // kBackground.
    void SetBandBackground(const QPixmap& bitmap);
    const QPixmap& BandBackground() const { return m_bandBackground; }

protected:
    void actionEvent(QActionEvent* event) override;

private:
    QPixmap m_bandBackground;
};

}  // namespace nms
