// Playing a picture's drawing again on another device, a band of it at a time.
#include "platform/win32/picture_image.h"

#include <cmath>

namespace tivora::win32 {

namespace {

struct Band {
    int top, bottom;  // in the picture's pixels
    bool refused = false;
};

// The lines of text whose place is outside the band are left for the sheets they belong on:
// clipping alone would hide them but leave their words in the page's text.
int CALLBACK playInBand(HDC dc, HANDLETABLE* handles, const ENHMETARECORD* record, int objects, LPARAM data) {
    auto& band = *reinterpret_cast<Band*>(data);
    const bool text = record->iType == EMR_EXTTEXTOUTW || record->iType == EMR_EXTTEXTOUTA;
    if (text) {
        // Text is placed by the top of its line: the surface never changes the alignment.
        const LONG y = reinterpret_cast<const EMREXTTEXTOUTW*>(record)->emrtext.ptlReference.y;
        if (y < band.top || y >= band.bottom) {
            return TRUE;
        }
    }
    if (!PlayEnhMetaFileRecord(dc, handles, record, static_cast<UINT>(objects)) && text) {
        band.refused = true;  // the device did not take the text
    }
    return TRUE;
}

LONG rounded(double value) { return static_cast<LONG>(std::lround(value)); }

}  // namespace

bool playPicture(HDC dc, const PictureImage& picture, double x1, double y1, double width1, double height1,
                 int x2, int y2, int width2, int height2) {
    if (width2 <= 0 || height2 <= 0) {
        return true;
    }
    const double scaleX = width1 / width2;
    const double scaleY = height1 / height2;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rounded(x1), rounded(y1), rounded(x1 + width1), rounded(y1 + height1));
    Band band{y2, y2 + height2};
    for (HENHMETAFILE layer : picture.layers) {
        ENHMETAHEADER header{};
        if (!GetEnhMetaFileHeader(layer, sizeof header, &header) || header.szlDevice.cx <= 0 ||
            header.szlDevice.cy <= 0 || header.szlMillimeters.cx <= 0 || header.szlMillimeters.cy <= 0) {
            band.refused = true;
            break;
        }
        // Playing maps the metafile's frame (hundredths of a millimetre, as the recording device
        // measures its pixels) onto a rectangle: choose it so that the picture's pixel (x2, y2)
        // lands at (x1, y1) and each pixel covers scaleX x scaleY of the device's.
        const double unitsX = 100.0 * header.szlMillimeters.cx / header.szlDevice.cx;
        const double unitsY = 100.0 * header.szlMillimeters.cy / header.szlDevice.cy;
        RECT target{rounded(x1 + (header.rclFrame.left / unitsX - x2) * scaleX),
                    rounded(y1 + (header.rclFrame.top / unitsY - y2) * scaleY),
                    rounded(x1 + (header.rclFrame.right / unitsX - x2) * scaleX),
                    rounded(y1 + (header.rclFrame.bottom / unitsY - y2) * scaleY)};
        if (!EnumEnhMetaFile(dc, layer, playInBand, &band, &target)) {
            band.refused = true;
        }
    }
    RestoreDC(dc, saved);
    return !band.refused;
}

}  // namespace tivora::win32
