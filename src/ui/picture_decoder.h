#pragma once
// Turns picture bytes fetched from the network into an image. The bytes come from any server,
// so a broken, truncated or absurdly large picture must give an empty image, never a crash or
// gigabytes of memory.

#include <QImage>

#include "util/text.h"

namespace mm {

// Pictures larger than this on either side are refused before any pixel is decoded.
inline constexpr int kMaxPictureSide = 8192;

// JPEG, PNG, BMP, GIF (its first frame), icon and cursor data; a null image otherwise.
QImage DecodePicture(const Bytes& data);

}  // namespace mm
