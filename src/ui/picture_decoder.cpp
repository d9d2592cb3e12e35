#include "ui/picture_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace mm {

namespace {

// A forged header can claim any size within the side limit; no poster needs more memory than
// this to decode (8192 x 4096 at four bytes a pixel).
constexpr int kAllocationLimitMegabytes = 128;

}  // namespace

QImage DecodePicture(const Bytes& data) {
  if (data.empty()) return {};
  QByteArray bytes = QByteArray::fromRawData(data.data(), static_cast<qsizetype>(data.size()));
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::ReadOnly)) return {};
  // The format comes from the content, never from a name: the bytes have none.
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  reader.setAllocationLimit(kAllocationLimitMegabytes);
  if (!reader.canRead()) return {};
  const QSize size = reader.size();
  if (size.isValid() &&
      (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)) {
    return {};
  }
  QImage image = reader.read();
  if (image.isNull()) return {};
  if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) return {};
  return image;
}

}  // namespace mm
