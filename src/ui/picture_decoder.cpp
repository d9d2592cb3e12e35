#include "ui/picture_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace mm {

namespace {

// Enough for the largest picture allowed (8192 x 8192 at four bytes a pixel), so the limit
// never refuses a picture the side check let through, yet stops a forged header early.
constexpr int kAllocationLimitMegabytes = 260;

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
