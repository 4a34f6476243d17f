#include "windows/common/pictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace pictures {
namespace {

void drawCard(QPainter& p, const QRectF& card, double angle, const QColor& paper) {
    p.save();
    p.translate(card.center());
    p.rotate(angle);
    const QRectF r(-card.width() / 2, -card.height() / 2, card.width(), card.height());
    p.setPen(QPen(QColor(90, 70, 40), 1.2));
    p.setBrush(paper);
    p.drawRect(r);
    p.setPen(QPen(QColor(200, 60, 60), 1));
    p.drawLine(QPointF(r.left() + 4, r.top() + 12), QPointF(r.right() - 4, r.top() + 12));
    p.setPen(QPen(QColor(120, 150, 210), 0.8));
    for (double y = r.top() + 20; y < r.bottom() - 4; y += 7) p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4, y));
    p.restore();
}

}  // namespace

QPixmap logo() {
    QPixmap pixmap(125, 138);
    pixmap.fill(QColor(255, 255, 192));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawCard(p, QRectF(14, 40, 86, 62), -12, QColor(235, 225, 200));
    drawCard(p, QRectF(22, 46, 86, 62), -4, QColor(245, 238, 215));
    drawCard(p, QRectF(28, 54, 86, 62), 5, Qt::white);

    QFont letter(QStringLiteral("Times New Roman"));
    letter.setPixelSize(30);
    letter.setBold(true);
    letter.setItalic(true);
    p.setFont(letter);
    p.setPen(QColor(0, 0, 192));
    p.drawText(QRectF(28, 62, 86, 50), Qt::AlignCenter, QStringLiteral("Lx"));

    // The pen, lying across the cards.
    QPainterPath quill;
    quill.moveTo(40, 130);
    quill.cubicTo(60, 100, 90, 40, 118, 6);
    quill.cubicTo(104, 40, 80, 90, 44, 128);
    quill.closeSubpath();
    p.setPen(QPen(QColor(60, 40, 20), 1));
    p.setBrush(QColor(128, 128, 255));
    p.drawPath(quill);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.drawLine(QPointF(40, 130), QPointF(33, 137));
    p.end();
    return pixmap;
}

QPixmap shelf() {
    // Sixteen-colour palette of the old displays.
    const QColor colours[] = {QColor(128, 0, 0), QColor(0, 128, 0),   QColor(0, 0, 128),
                              QColor(128, 128, 0), QColor(128, 0, 128), QColor(0, 128, 128)};
    QPixmap pixmap(100, 220);
    pixmap.fill(QColor(255, 255, 255));
    QPainter p(&pixmap);
    p.fillRect(QRect(0, 200, 100, 20), QColor(128, 128, 128));
    int y = 200;
    int i = 0;
    for (int height : {22, 18, 26, 20, 24, 16, 28, 22}) {
        const int inset = (i * 7) % 12;
        const QRect book(6 + inset, y - height, 88 - 2 * inset, height);
        p.fillRect(book, colours[i % 6]);
        p.setPen(QColor(255, 255, 0));
        p.drawLine(book.left() + 6, book.top() + 4, book.left() + 6, book.bottom() - 4);
        p.drawLine(book.right() - 6, book.top() + 4, book.right() - 6, book.bottom() - 4);
        p.setPen(Qt::black);
        p.drawRect(book.adjusted(0, 0, -1, -1));
        y -= height;
        ++i;
    }
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0, 0, 255));
    p.drawText(QRect(0, 0, 100, y), Qt::AlignCenter, QStringLiteral("A - Z"));
    p.end();
    return pixmap;
}

QPixmap searchButtonFace() {
    QPixmap pixmap(76, 38);
    pixmap.fill(QColor(255, 255, 192));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QPointF(34, 11), 8, 8);
    p.setPen(QPen(QColor(90, 60, 20), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(40, 17), QPointF(47, 24));
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(192, 0, 0));
    p.drawText(QRect(0, 24, 76, 14), Qt::AlignCenter, QStringLiteral("Recherche"));
    p.end();
    return pixmap;
}

}  // namespace pictures
