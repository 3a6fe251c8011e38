#pragma once
// DrawDib: the one routine that draws a rectangle of a picture onto a
// screen image, a bitmap or a printer. Coordinates are device pixels and
// picture pixels; the source y counts rows from the bottom row of the picture.

#include "pictures/dibkit3.h"

class QPainter;

void DrawDib(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw, int sh);

// Row-by-row nearest-neighbour output used on devices other than printers.
void StretchRows24(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw,
                   int sh);
void StretchRows8(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw,
                  int sh);
