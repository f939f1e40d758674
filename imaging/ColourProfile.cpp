#include "ColourProfile.h"

#include <lcms2.h>

#include <cstring>
#include <memory>
#include <vips/vips8>

namespace trimora::imaging {

namespace {

constexpr int kHeaderBytes = 128;

std::uint32_t be32(const QByteArray& data, qsizetype at) {
  return std::uint32_t(quint8(data[at])) << 24 | std::uint32_t(quint8(data[at + 1])) << 16 |
         std::uint32_t(quint8(data[at + 2])) << 8 | std::uint32_t(quint8(data[at + 3]));
}

bool isWellFormed(const QByteArray& icc) {
  return icc.size() >= kHeaderBytes + 4 && be32(icc, 0) <= std::uint32_t(icc.size()) &&
         icc.mid(36, 4) == "acsp";
}

// The bytes of the tag `signature`, bounds-checked against the profile; empty when absent.
QByteArray tagData(const QByteArray& icc, const char* signature) {
  const std::uint32_t count = be32(icc, kHeaderBytes);
  const qsizetype size = icc.size();
  for (std::uint32_t i = 0; i < count && i < 1024; ++i) {
    const qsizetype entry = kHeaderBytes + 4 + qsizetype(i) * 12;
    if (entry + 12 > size) break;
    if (std::memcmp(icc.constData() + entry, signature, 4) != 0) continue;
    const std::uint64_t offset = be32(icc, entry + 4), length = be32(icc, entry + 8);
    if (offset + length > std::uint64_t(size)) return {};
    return icc.mid(qsizetype(offset), qsizetype(length));
  }
  return {};
}

struct VipsFree {
  void operator()(void* p) const { g_free(p); }
};

// Whether lcms2 builds a transform from the profile to sRGB. libvips would quietly take a profile
// it cannot use for sRGB, so the refusal is found out here and said.
bool colourEngineTakes(const QByteArray& icc) {
  const std::unique_ptr<void, decltype(&cmsCloseProfile)> in(
      cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())), &cmsCloseProfile);
  if (!in) return false;
  const std::unique_ptr<void, decltype(&cmsCloseProfile)> srgb(cmsCreate_sRGBProfile(),
                                                               &cmsCloseProfile);
  // Not optimised: only whether it can be built matters, and that is quick to find.
  cmsHTRANSFORM transform = cmsCreateTransform(in.get(), TYPE_RGB_8, srgb.get(), TYPE_RGB_8,
                                               INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOOPTIMIZE);
  if (!transform) return false;
  cmsDeleteTransform(transform);
  return true;
}

}  // namespace

QString profileDescription(const QByteArray& icc) {
  if (!isWellFormed(icc)) return {};
  const QByteArray tag = tagData(icc, "desc");
  if (tag.size() < 12) return {};
  if (tag.startsWith("desc")) {
    // textDescriptionType: a count, then that many ASCII bytes with their end.
    const std::uint32_t length = be32(tag, 8);
    const QByteArray text = tag.mid(12, qsizetype(std::min<std::uint32_t>(length, 1024)));
    return QString::fromLatin1(
        text.left(text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0')));
  }
  if (tag.startsWith("mluc") && tag.size() >= 28) {
    // multiLocalizedUnicodeType: the first record's UTF-16BE text.
    const std::uint32_t length = be32(tag, 20), offset = be32(tag, 24);
    if (std::uint64_t(offset) + length > std::uint64_t(tag.size()) || length > 2048) return {};
    QString text;
    for (std::uint32_t i = 0; i + 1 < length; i += 2)
      text += QChar(char16_t(quint8(tag[offset + i]) << 8 | quint8(tag[offset + i + 1])));
    return text;
  }
  return {};
}

bool profileNeedsConversion(const QByteArray& icc) {
  if (!isWellFormed(icc) || icc.mid(16, 4) != "RGB ") return false;
  // Cameras and phones often embed sRGB itself; converting it would change nothing.
  return !profileDescription(icc).contains(QLatin1String("sRGB"));
}

bool convertToSrgb(std::uint8_t* pixels, int width, int height, const QByteArray& icc) {
  if (width <= 0 || height <= 0) return true;
  if (!colourEngineTakes(icc)) return false;
  const std::size_t bytes = std::size_t(width) * std::size_t(height) * 3;
  try {
    vips::VImage in =
        vips::VImage::new_from_memory(pixels, bytes, width, height, 3, VIPS_FORMAT_UCHAR);
    in.set("interpretation", VIPS_INTERPRETATION_sRGB);
    vips_image_set_blob_copy(in.get_image(), VIPS_META_ICC_NAME, icc.constData(),
                             std::size_t(icc.size()));
    const vips::VImage out = srgbFromEmbeddedProfile(in);
    std::size_t outBytes = 0;
    const std::unique_ptr<void, VipsFree> converted(out.write_to_memory(&outBytes));
    if (!converted || outBytes != bytes) return false;
    std::memcpy(pixels, converted.get(), bytes);
    return true;
  } catch (const vips::VError&) {
    vips_error_clear();
    return false;
  }
}

vips::VImage srgbFromEmbeddedProfile(const vips::VImage& image) {
  return image.icc_transform("srgb", vips::VImage::option()
                                         ->set("embedded", true)
                                         ->set("intent", VIPS_INTENT_RELATIVE)
                                         ->set("depth", 8));
}

QString profileNotUsedText() {
  return QStringLiteral("Colours as stored: the picture's colour profile cannot be used");
}

}  // namespace trimora::imaging
