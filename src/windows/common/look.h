#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The colours and fonts the windows are drawn with.
namespace look {

inline const QColor kLightYellow{255, 255, 192};
inline const QColor kLightOrange{255, 224, 192};
inline const QColor kDarkBlue{0, 0, 192};
inline const QColor kDarkRed{192, 0, 0};
inline const QColor kBlue{0, 0, 255};
inline const QColor kRed{255, 0, 0};
inline const QColor kLavender{0x80, 0x80, 0xFF};

QFont timesNewRoman(double points, bool bold = true, bool italic = false);
QFont msSansSerif(double points);

// The colour of a control's caption or label text, and its background; an
// invalid background leaves it transparent over its parent. The controls it
// holds keep the system's colours for typed text and button faces.
void setColours(QWidget* widget, const QColor& text, const QColor& background = QColor());
// The colour of the text typed in a text box, on white.
void setTypedTextColour(QWidget* box, const QColor& text);
// The face of a button.
void setButtonFace(QWidget* button, const QColor& face);

// Font families of the designs that a system may lack, mapped to ones with
// the same metrics where they exist.
void installFontSubstitutes();

}  // namespace look
