#include "platform/resource_icons.h"

#include <QLinearGradient>
#include <QPainter>

static void InitResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace nms {

namespace {

QPixmap Lamp(const QColor& colour, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient gradient(size * 0.35, size * 0.35, size * 0.6);
    gradient.setColorAt(0, colour.lighter(170));
    gradient.setColorAt(1, colour.darker(130));
    painter.setBrush(gradient);
    painter.setPen(QPen(colour.darker(200), 1));
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
    return pixmap;
}

QPixmap Tick(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(40, 150, 40), size / 8.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    const QPointF points[] = {
        {size * 0.2, size * 0.55}, {size * 0.42, size * 0.78}, {size * 0.82, size * 0.25}};
    painter.drawPolyline(points, 3);
    return pixmap;
}

// Background of the tab strip and the tool-bar bands: a tile of a soft vertical gradient.
QPixmap BandBackground() {
    QPixmap pixmap(8, 32);
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, 0, 0, 32);
    gradient.setColorAt(0, QColor(250, 249, 244));
    gradient.setColorAt(1, QColor(228, 225, 208));
    painter.fillRect(pixmap.rect(), gradient);
    return pixmap;
}

}  // namespace

QPixmap PixmapById(int id, int size) {
    InitResources();
    switch (id) {
        case 134:
            return BandBackground();
        case 153:
            return Tick(size);
        case 212:
            return Lamp(QColor(220, 0, 0), size);
        case 213:
            return Lamp(QColor(0, 190, 0), size);
        default:
            break;
    }
    const QIcon icon = IconById(id);
    return icon.isNull() ? QPixmap() : icon.pixmap(size, size);
}

QIcon IconById(int id) {
    InitResources();
    if (id == 134 || id == 153 || id == 212 || id == 213) {
        QIcon icon;
        for (int size : {16, 32}) {
            icon.addPixmap(PixmapById(id, size));
        }
        return icon;
    }
    QIcon icon;
    for (int size : {16, 22, 32}) {
        const QPixmap pixmap(QStringLiteral(":/icons/%1_%2.png").arg(id).arg(size));
        if (!pixmap.isNull()) {
            icon.addPixmap(pixmap);
        }
    }
    return icon;
}

}  // namespace nms
