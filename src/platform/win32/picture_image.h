// What a picture box's surface keeps of what is drawn on it: the drawing itself, recorded as
// enhanced metafiles against the screen, so that a printer can play it again at its own
// resolution with every line where the screen put it.
#pragma once

#include <windows.h>

#include <vector>

namespace tivora::win32 {

struct PictureImage {
    // Played in order; each spans the whole picture, and its frame says how big that is.
    std::vector<HENHMETAFILE> layers;
};

// Plays the part of the picture from its pixel (x2, y2), width2 x height2 pixels, onto the
// rectangle (x1, y1, width1, height1) of a device context in its pixels: the lines of text in that
// part, clipped to the rectangle. False when the device refused the text.
bool playPicture(HDC dc, const PictureImage& picture, double x1, double y1, double width1, double height1,
                 int x2, int y2, int width2, int height2);

}  // namespace tivora::win32
