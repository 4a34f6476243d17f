#pragma once

#include <QIcon>
#include <QPixmap>

class QLabel;

// The program's own pictures, drawn from their outlines at whatever size and
// display scale they are shown, so that none is ever an enlarged bitmap.
namespace pictures {

enum class Picture {
    logo,              // 125 x 138 as designed: index cards and a pen
    shelf,             // 100 x 220, sixteen colours: a shelf of dictionaries
    searchButtonFace,  // 76 x 38: the word under a magnifying glass
};

// The picture stretched over size (window pixels), drawn at the display's
// ratio of device pixels to window pixels.
QPixmap drawn(Picture picture, const QSize& size, qreal devicePixelRatio);

// The picture filling a label placed at its designed rectangle, drawn again
// whenever the label is shown at another scale.
void show(QLabel* label, Picture picture);

// The picture as an icon, drawn afresh at each size and scale asked.
QIcon icon(Picture picture);

}  // namespace pictures
