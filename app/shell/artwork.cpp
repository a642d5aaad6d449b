#include "shell/artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace quarvel::app {

namespace {

const QColor kDeepBlue(0x1f, 0x3a, 0x5f);
const QColor kSteel(0x8f, 0xa6, 0xbf);

// Concentric rounded contours, as a contour tool path around a hill.
void drawContours(QPainter& p, const QRectF& box, int rings) {
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < rings; ++i) {
        const double inset = i * box.width() / (2.6 * rings);
        const int level = 90 + i * 140 / std::max(rings, 1);
        p.setPen(QPen(QColor(level, level + 20 > 255 ? 255 : level + 20, 255), 1.6));
        p.drawEllipse(box.adjusted(inset, inset * 0.8, -inset, -inset * 0.8));
    }
}

void drawCutter(QPainter& p, QPointF tip, double height) {
    const double w = height * 0.22;
    QPainterPath bit;
    bit.moveTo(tip);
    bit.lineTo(tip.x() - w / 2, tip.y() - w * 0.8);
    bit.lineTo(tip.x() - w / 2, tip.y() - height);
    bit.lineTo(tip.x() + w / 2, tip.y() - height);
    bit.lineTo(tip.x() + w / 2, tip.y() - w * 0.8);
    bit.closeSubpath();
    QLinearGradient shine(tip.x() - w / 2, 0, tip.x() + w / 2, 0);
    shine.setColorAt(0, QColor(0xd0, 0xd6, 0xdc));
    shine.setColorAt(0.5, Qt::white);
    shine.setColorAt(1, QColor(0x90, 0x98, 0xa0));
    p.setBrush(shine);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.drawPath(bit);
}

QPixmap drawnToolIcon(const QString& name) {
    QPixmap pix(24, 24);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kDeepBlue, 1.5));
    p.setBrush(Qt::white);
    if (name == "document-new" || name == "edit-copy") {
        if (name == "edit-copy") p.drawRect(QRectF(3.5, 3.5, 11, 14));
        p.drawRect(QRectF(8.5, 6.5, 11, 14));
    } else if (name == "document-open") {
        p.setBrush(QColor(0xe8, 0xc0, 0x60));
        p.drawRect(QRectF(2.5, 7.5, 19, 12));
    } else if (name == "document-save") {
        p.setBrush(kSteel);
        p.drawRect(QRectF(3.5, 3.5, 17, 17));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7.5, 3.5, 9, 6));
    } else if (name == "edit-cut") {
        p.drawEllipse(QPointF(7, 17), 3, 3);
        p.drawEllipse(QPointF(17, 17), 3, 3);
        p.drawLine(QPointF(9, 15), QPointF(17, 3));
        p.drawLine(QPointF(15, 15), QPointF(7, 3));
    } else if (name == "edit-paste") {
        p.setBrush(QColor(0xc8, 0x9a, 0x5a));
        p.drawRect(QRectF(4.5, 4.5, 15, 17));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8.5, 2.5, 7, 4));
    } else {
        QFont f;
        f.setBold(true);
        f.setPixelSize(18);
        p.setFont(f);
        p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("?"));
    }
    return pix;
}

}  // namespace

QPixmap splashPicture() {
    QPixmap pix(330, 180);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 330, 180);
    sky.setColorAt(0, kDeepBlue);
    sky.setColorAt(1, QColor(0x0b, 0x16, 0x26));
    p.fillRect(pix.rect(), sky);
    drawContours(p, QRectF(205, 32, 115, 116), 7);
    drawCutter(p, QPointF(262, 92), 70);
    QFont title;
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(20, 40, 200, 50), Qt::AlignLeft | Qt::AlignVCenter, "Quarvel");
    QFont small;
    small.setPixelSize(11);
    p.setFont(small);
    p.setPen(kSteel);
    p.drawText(QRect(22, 92, 180, 40), Qt::AlignLeft | Qt::TextWordWrap,
               "Pictures into relief, surfaces\nand contours for CNC routers");
    p.drawText(QRect(22, 150, 150, 20), Qt::AlignLeft, "Version 2.0");
    p.setPen(QPen(kSteel, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(pix.rect().adjusted(0, 0, -1, -1));
    return pix;
}

QPixmap programPicture(int size) {
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(size * 0.04, size * 0.04, size * 0.92, size * 0.92);
    p.setPen(Qt::NoPen);
    p.setBrush(kDeepBlue);
    p.drawRoundedRect(box, size * 0.16, size * 0.16);
    drawContours(p, box.adjusted(size * 0.1, size * 0.22, -size * 0.1, -size * 0.06), 4);
    drawCutter(p, QPointF(size * 0.5, size * 0.6), size * 0.5);
    return pix;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(programPicture(size));
    return icon;
}

QIcon toolIcon(const QString& themeName) {
    return QIcon::fromTheme(themeName, QIcon(drawnToolIcon(themeName)));
}

}  // namespace quarvel::app
