#pragma once
// Background and logo pictures: loading through the image library and the
// colour processing of the background texture.

#include "pictures/dibkit3.h"

#include <QString>

struct TLayoutSettings;

// A descriptor holds a picture when its pixels are set.
inline bool HasPicture(const dib &d) { return d.poi != nullptr; }
// A descriptor without a picture.
dib NoDib();

// deldib, then the descriptor holds no picture.
void FreeDib(dib &d);
// Opens a picture file named as the program shows it (converted to the
// system's 8-bit code page for the library). Missing or unreadable: no picture.
dib OpenPicture(const QString &fileName);

// 1-, 4- and 8-bit pictures become 24-bit; other depths stay as they are.
void MakeTrueColor(dib &d);
void MakeGrayscale(dib &d);
// Contrast (SatEd) and lightening (HellEd) of a 24-bit picture.
void LightenTexture(dib &d, double hellEd, double satEd);

// FilenameEdit2Change without the preview: frees di2, loads the background
// from settings.FilenameEdit2 and processes it as the settings say, always
// starting again from the file.
void LoadBackground(const TLayoutSettings &settings, dib &di2);
// FilenameEdit1Change without the preview: frees di3 and loads the logo.
void LoadLogo(const TLayoutSettings &settings, dib &di3);

// The pictures a drawing uses: the processed background and the logo.
// Owns both; frees them when destroyed.
struct TPagePictures {
    dib di2 = NoDib();
    dib di3 = NoDib();
    TPagePictures() = default;
    ~TPagePictures();
    TPagePictures(const TPagePictures &) = delete;
    TPagePictures &operator=(const TPagePictures &) = delete;
    // Loads both from the settings.
    void Load(const TLayoutSettings &settings);
};
