#include "ui/busy_animation.h"

#include <QFont>
#include <QPainter>
#include <QString>
#include <cmath>
#include <numbers>

namespace mm {

namespace {

constexpr int kDots = 12;

void DrawBusyFrame(QPainter& painter, const QSize& size, int index) {
  painter.fillRect(QRect(QPoint(0, 0), size), BusyAnimationBackground());

  const QPointF centre(size.width() / 2.0, size.height() / 2.0 - 30);
  const double ringRadius = 70;
  const double dotRadius = 11;
  // The head moves 1/50 of a turn a frame, so the loop closes without a jump.
  const double head = 2 * std::numbers::pi * index / kBusyFrameCount;
  painter.setPen(Qt::NoPen);
  for (int d = 0; d < kDots; ++d) {
    const double angle = 2 * std::numbers::pi * d / kDots;
    // How far this dot trails the head, as a fraction of a turn (0 at the head).
    double behind = std::fmod(head - angle + 4 * std::numbers::pi, 2 * std::numbers::pi) /
                    (2 * std::numbers::pi);
    const int alpha = 40 + static_cast<int>(215 * (1 - behind));
    painter.setBrush(QColor(40, 120, 200, alpha));
    const QPointF at(centre.x() + ringRadius * std::sin(angle),
                     centre.y() - ringRadius * std::cos(angle));
    const double radius = dotRadius * (0.6 + 0.4 * (1 - behind));
    painter.drawEllipse(at, radius, radius);
  }

  QFont font = painter.font();
  font.setPixelSize(30);
  painter.setFont(font);
  painter.setPen(QColor(80, 80, 80));
  painter.drawText(QRectF(0, centre.y() + ringRadius + 40, size.width(), 50), Qt::AlignCenter,
                   QString::fromUtf8("正在搜索，请稍候……"));
}

}  // namespace

QColor BusyAnimationBackground() { return QColor(250, 250, 250); }

Animation BusyAnimation() {
  return {DrawBusyFrame, QSize(800, 600), kBusyFrameCount, kBusyFrameMs};
}

}  // namespace mm
