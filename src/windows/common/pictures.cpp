#include "windows/common/pictures.h"

#include <QEvent>
#include <QFont>
#include <QIconEngine>
#include <QLabel>
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

void drawLogo(QPainter& p) {
    p.fillRect(QRectF(0, 0, 125, 138), QColor(255, 255, 192));
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
}

void drawShelf(QPainter& p) {
    // Sixteen-colour palette of the old displays.
    const QColor colours[] = {QColor(128, 0, 0), QColor(0, 128, 0),   QColor(0, 0, 128),
                              QColor(128, 128, 0), QColor(128, 0, 128), QColor(0, 128, 128)};
    p.fillRect(QRect(0, 0, 100, 220), Qt::white);
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
}

void drawSearchButtonFace(QPainter& p) {
    p.fillRect(QRectF(0, 0, 76, 38), QColor(255, 255, 192));
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
}

struct Design {
    QSize size;
    void (*draw)(QPainter&);
};

Design designOf(Picture picture) {
    switch (picture) {
        case Picture::logo: return {{125, 138}, drawLogo};
        case Picture::shelf: return {{100, 220}, drawShelf};
        case Picture::searchButtonFace: break;
    }
    return {{76, 38}, drawSearchButtonFace};
}

class PictureIconEngine final : public QIconEngine {
public:
    explicit PictureIconEngine(Picture picture) : m_picture(picture) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->drawPixmap(rect, drawn(m_picture, rect.size(), painter->device()->devicePixelRatioF()));
    }
    // Asked in device pixels: the scale is already in the size.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override { return drawn(m_picture, size, 1.0); }
    QIconEngine* clone() const override { return new PictureIconEngine(m_picture); }

private:
    Picture m_picture;
};

// Draws a label's picture again when the label is painted at another scale
// than the one it was drawn for: its window moved to another screen.
class KeepSharp : public QObject {
public:
    KeepSharp(QLabel* label, Picture picture) : QObject(label), m_picture(picture) { label->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* label = static_cast<QLabel*>(watched);
        if (event->type() == QEvent::Paint && label->pixmap().devicePixelRatio() != label->devicePixelRatioF()) {
            label->setPixmap(drawn(m_picture, label->size(), label->devicePixelRatioF()));
        }
        return false;
    }

private:
    Picture m_picture;
};

}  // namespace

QPixmap drawn(Picture picture, const QSize& size, qreal devicePixelRatio) {
    const Design design = designOf(picture);
    QPixmap pixmap((QSizeF(size) * devicePixelRatio).toSize());
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.scale(qreal(pixmap.width()) / design.size.width(), qreal(pixmap.height()) / design.size.height());
    design.draw(painter);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

void show(QLabel* label, Picture picture) {
    label->setPixmap(drawn(picture, label->size(), label->devicePixelRatioF()));
    new KeepSharp(label, picture);
}

QIcon icon(Picture picture) { return QIcon(new PictureIconEngine(picture)); }

}  // namespace pictures
