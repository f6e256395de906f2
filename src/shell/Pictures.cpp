#include "shell/Pictures.h"

#include "platform/Look.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// A small index card, the program's emblem.
void DrawCard(QPainter& painter, const QRectF& box, const QColor& paper, const QColor& ink) {
    painter.setPen(QPen(ink, box.width() / 60));
    painter.setBrush(paper);
    painter.drawRoundedRect(box, box.width() / 20, box.width() / 20);
    const double margin = box.width() / 10;
    for (int line = 1; line <= 4; ++line) {
        const double y = box.top() + box.height() * line / 5.5;
        const double right = line == 4 ? box.center().x() : box.right() - margin;
        painter.drawLine(QPointF(box.left() + margin, y), QPointF(right, y));
    }
}

} // namespace

namespace Pictures {

QPixmap Backdrop() {
    QPixmap picture(800, 600);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 600);
    sky.setColorAt(0, Rgb(40, 40, 140));
    sky.setColorAt(1, Colors::LightBlue);
    painter.fillRect(picture.rect(), sky);
    for (int i = 0; i < 9; ++i) {
        painter.save();
        painter.translate(90 + i * 80, 420 - (i % 3) * 50);
        painter.rotate(-12 + i * 3);
        DrawCard(painter, QRectF(-45, -30, 90, 60), Rgb(255, 255, 210), Rgb(60, 60, 160));
        painter.restore();
    }
    painter.setPen(Colors::Yellow);
    painter.setFont(Face("Comic Sans MS", 54, true));
    painter.drawText(QRect(0, 60, 800, 120), Qt::AlignCenter, QStringLiteral("PIVANES"));
    painter.setFont(Face("Comic Sans MS", 16));
    painter.drawText(QRect(0, 170, 800, 40), Qt::AlignCenter,
                     QStringLiteral("Mes fiches d'astuces informatiques"));
    return picture;
}

QPixmap Logo() {
    QPixmap picture(160, 160);
    picture.fill(Colors::LightBlue);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawCard(painter, QRectF(20, 40, 110, 75), Rgb(230, 230, 255), Colors::Navy);
    DrawCard(painter, QRectF(35, 55, 110, 75), Rgb(255, 255, 210), Colors::Navy);
    painter.setPen(Colors::Red);
    painter.setFont(Face("Comic Sans MS", 28, true));
    painter.drawText(QRect(0, 0, 160, 50), Qt::AlignCenter, QStringLiteral("P"));
    return picture;
}

} // namespace Pictures
