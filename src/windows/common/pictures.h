#pragma once

#include <QPixmap>

// The program's own pictures, drawn at their design size in pixels.
namespace pictures {

// 125 x 138: index cards and a pen; the splash and About windows show it.
QPixmap logo();
// 100 x 220, sixteen colours: a shelf of dictionaries on the splash window.
QPixmap shelf();
// 76 x 38: the face of the search button, the word under a magnifying glass.
QPixmap searchButtonFace();

}  // namespace pictures
