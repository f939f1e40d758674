#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace vips {
class VImage;
}

// Embedded ICC profiles. A picture that carries an RGB profile of another space than sRGB (a
// phone's Display P3, a camera's Adobe RGB) is converted to sRGB, with the relative colorimetric
// intent, for the screen and for the cut; a picture without one, or with an sRGB one, is taken as
// sRGB and costs nothing more. Only the pixels actually drawn are converted, after scaling.
namespace trimora::imaging {

// True when `icc` is a well-formed RGB profile that does not describe sRGB itself: the pixels of
// a picture carrying it need converting.
bool profileNeedsConversion(const QByteArray& icc);

// The profile's description (its 'desc' tag, plain or multi-localised), empty when it has none.
QString profileDescription(const QByteArray& icc);

// Converts `height` rows of `width` packed RGB pixels from the space of `icc` to sRGB, in place.
// False, with the pixels untouched, when the colour engine refuses the profile.
bool convertToSrgb(std::uint8_t* pixels, int width, int height, const QByteArray& icc);

// The image converted to 8-bit sRGB through the profile it carries (relative colorimetric);
// throws vips::VError when libvips cannot.
vips::VImage srgbFromEmbeddedProfile(const vips::VImage& image);

// The status text for a picture shown without the conversion its profile asks for.
QString profileNotUsedText();

}  // namespace trimora::imaging
