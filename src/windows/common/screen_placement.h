#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

// Keeps every window wholly on the screen it opens on, whatever the screen's
// size and scale: a window whose designed size does not fit opens at the
// largest size that does, and a window hidden and shown again comes back
// where it was, unless the program moved it meanwhile.
namespace screenplacement {

// Watches every window the application shows; once is enough, later calls
// do nothing.
void install();

// Where a window of client geometry `wanted` goes so that its frame, of
// `margins` around the client area, lies within `area`: moved in, and made
// smaller where it must, but never below `minimum`.
QRect fitted(const QRect& wanted, const QMargins& margins, const QRect& area, const QSize& minimum);

}  // namespace screenplacement
