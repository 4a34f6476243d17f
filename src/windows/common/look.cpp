#include "windows/common/look.h"

#include <QAbstractButton>
#include <QPalette>
#include <QWidget>

namespace look {
namespace {

QFont font(const QString& family, double points, bool bold = false, bool italic = false) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void setRole(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

}  // namespace

QFont timesNewRoman(double points, bool bold, bool italic) {
    return font(QStringLiteral("Times New Roman"), points, bold, italic);
}

QFont msSansSerif(double points) { return font(QStringLiteral("MS Sans Serif"), points); }

// Only the roles a caption and a background use: a child inherits every
// role its parent sets, and must not take a frame's caption colour for its
// own text.
void setColours(QWidget* widget, const QColor& text, const QColor& background) {
    setRole(widget, QPalette::WindowText, text);
    if (background.isValid()) {
        // A check box or option button fills itself with its face colour:
        // that is the colour its caption is drawn on.
        setRole(widget, QPalette::Window, background);
        setRole(widget, widget->backgroundRole(), background);
        widget->setAutoFillBackground(true);
        // Its box or disc keeps the white and black it was designed with:
        // a dark theme's dark box, on the light face, reads as ticked.
        if (qobject_cast<QAbstractButton*>(widget)) {
            setRole(widget, QPalette::Base, Qt::white);
            setRole(widget, QPalette::Text, Qt::black);
        }
    }
}

// A designed text colour comes with the white box it was chosen against,
// which a dark theme would otherwise take away.
void setTypedTextColour(QWidget* box, const QColor& text) {
    setRole(box, QPalette::Text, text);
    setRole(box, QPalette::Base, Qt::white);
}

void setButtonFace(QWidget* button, const QColor& face) { setRole(button, QPalette::Button, face); }

void installFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Verdana"), {QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("verdana"), {QStringLiteral("DejaVu Sans")});
}

}  // namespace look
