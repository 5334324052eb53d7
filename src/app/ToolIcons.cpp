#include "app/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSize = 32;   // drawn at twice the button size for sharp scaling

void Page(QPainter& p, const QRectF& r)
{
    const qreal fold = r.width() * 0.3;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::max(1.0, std::hypot((to - from).x(), (to - from).y()));
    const QPointF n(-d.y(), d.x());
    QPolygonF head;
    head << to + d * 3 << to - d * 5 + n * 5 << to - d * 5 - n * 5;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

// The PC (a screen) and the radio (a box with a dial) for the transfer buttons.
void Screen(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(0x30, 0x60, 0xA0));
    p.drawRect(r);
    p.drawLine(QPointF(r.center().x(), r.bottom()), QPointF(r.center().x(), r.bottom() + 3));
    p.drawLine(QPointF(r.center().x() - 4, r.bottom() + 3), QPointF(r.center().x() + 4, r.bottom() + 3));
}

void Radio(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(0x50, 0x50, 0x50));
    p.drawRoundedRect(r, 2, 2);
    p.setBrush(QColor(0xE0, 0xC0, 0x40));
    p.drawEllipse(QPointF(r.right() - r.height() / 2, r.center().y()), r.height() / 4, r.height() / 4);
    p.setBrush(QColor(0x90, 0xE0, 0x90));
    p.drawRect(QRectF(r.left() + 2, r.top() + 2, r.width() / 2, r.height() / 3));
}

}  // namespace

QIcon ToolIcon(TToolIcon kind)
{
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    switch (kind) {
    case TToolIcon::New:
        Page(p, QRectF(7, 3, 18, 26));
        break;
    case TToolIcon::Open:
        p.setBrush(QColor(0xE8, 0xC0, 0x50));
        p.drawRect(QRectF(3, 9, 24, 18));
        p.drawRect(QRectF(3, 6, 10, 3));
        p.setBrush(QColor(0xF8, 0xE0, 0x80));
        p.drawPolygon(QPolygonF() << QPointF(7, 14) << QPointF(30, 14) << QPointF(26, 27) << QPointF(3, 27));
        break;
    case TToolIcon::Save:
        p.setBrush(QColor(0x30, 0x50, 0x90));
        p.drawRect(QRectF(4, 4, 24, 24));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 4, 16, 10));
        p.setBrush(QColor(0xC0, 0xC0, 0xC0));
        p.drawRect(QRectF(9, 19, 14, 9));
        break;
    case TToolIcon::Copy:
        Page(p, QRectF(3, 3, 16, 20));
        Page(p, QRectF(12, 9, 16, 20));
        break;
    case TToolIcon::Paste:
        p.setBrush(QColor(0xB0, 0x80, 0x40));
        p.drawRect(QRectF(4, 5, 18, 23));
        p.setBrush(QColor(0xC0, 0xC0, 0xC0));
        p.drawRect(QRectF(9, 3, 8, 5));
        Page(p, QRectF(13, 11, 15, 18));
        break;
    case TToolIcon::Print:
        Page(p, QRectF(9, 2, 14, 12));
        p.setBrush(QColor(0xA0, 0xA0, 0xA0));
        p.drawRoundedRect(QRectF(3, 13, 26, 11), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 21, 14, 8));
        break;
    case TToolIcon::Upload:     // radio to PC
        Radio(p, QRectF(1, 18, 14, 10));
        Screen(p, QRectF(18, 4, 13, 10));
        Arrow(p, QPointF(8, 14), QPointF(18, 8), QColor(0x20, 0x90, 0x20));
        break;
    case TToolIcon::Download:   // PC to radio
        Screen(p, QRectF(1, 4, 13, 10));
        Radio(p, QRectF(17, 18, 14, 10));
        Arrow(p, QPointF(10, 17), QPointF(21, 14), QColor(0xC0, 0x30, 0x20));
        break;
    case TToolIcon::Help: {
        p.setBrush(QColor(0xF0, 0xE0, 0x60));
        p.drawEllipse(QRectF(3, 3, 26, 26));
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(20);
        p.setFont(f);
        p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    }
    p.end();
    return QIcon(pm);
}
