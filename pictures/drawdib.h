#pragma once
// DrawDib: the one routine that draws a rectangle of a picture onto a
// screen image, a bitmap or a printer. Coordinates are device pixels and
// picture pixels; the source y counts rows from the bottom row of the picture.

#include "pictures/dibkit3.h"

class QPainter;

// Clips the source rectangle to the picture, moving the destination in
// proportion, and draws nothing when a width or height is 0 or less.
void DrawDib(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw, int sh);

// Row-by-row nearest-neighbour output used on devices other than printers.
// Source rows and columns outside the picture come out as zero bytes.
void StretchRows24(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw,
                   int sh);
void StretchRows8(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw,
                  int sh);
// The output for printers and for 1- and 4-bit pictures: the source
// rectangle, which must lie inside the picture, as one image scaled to the
// destination without smoothing.
void StretchImage(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw,
                  int sh);
