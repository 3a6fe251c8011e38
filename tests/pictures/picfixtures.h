#pragma once
// Picture files for the picture tests, made in memory: Qt's writers where
// they write the wanted kind, hand-made bytes where they do not (4-bit PNG,
// GIF, run-length BMP, headers claiming absurd sizes).

#include "pictures/dibkit3.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

QByteArray Encode(const QImage &image, const char *format, int quality = -1);
// An indexed picture of width × height whose pixel (x, y) is (x + 2y) mod
// the number of colours, with clearly different colours.
QImage IndexedPicture(int width, int height, int colors);
// A PNG from packed rows (no filter bytes) of the given bit depth and type.
QByteArray MakePng(int width, int height, int bitDepth, int colorType, const QList<QRgb> &palette,
                   const QList<QByteArray> &rows);
// Indexed8 picture as a palette PNG of 1, 2, 4 or 8 bits.
QByteArray PalettePng(const QImage &indexed, int bitDepth);
// Signature and header chunk only.
QByteArray PngHeaderOnly(int width, int height, int bitDepth, int colorType);
// File and info header without colour table or pixels.
QByteArray BmpHeaderOnly(int width, int height, int bits);
// Indexed8 picture as an 8-bit run-length BMP, one run per pixel.
QByteArray Rle8Bmp(const QImage &indexed);
// Indexed8 picture (at most 256 colours) as a GIF; `transparent` is the
// transparent index or -1.
QByteArray MakeGif(const QImage &indexed, int transparent = -1);
bool WriteBytes(const QString &path, const QByteArray &bytes);

// The colour of the stored pixel (x, y) as 0x00RRGGBB, through the palette
// for pictures of up to 8 bits.
uint32_t StoredColor(const dib &d, int x, int y);
// A 24-bit picture of width × height with pixel (x, y) of stored row y
// set to colour(x, y).
dib Make24(int width, int height, uint32_t (*color)(int x, int y));
