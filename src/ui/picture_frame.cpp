#include "ui/picture_frame.h"

#include <QPainter>
#include <utility>

namespace mm {

PictureFrame::PictureFrame(QWidget* parent) : QWidget(parent) {
  connect(&timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % animation_.frameCount;
    update();
  });
}

void PictureFrame::SetImage(const QImage& image) {
  animation_ = {};
  // A picture far larger than the box is scaled down once, not at every repaint.
  const QSize enough = size() * 2;
  image_ = (!image.isNull() && !enough.isEmpty() &&
            (image.width() > enough.width() || image.height() > enough.height()))
               ? image.scaled(enough, Qt::KeepAspectRatio, Qt::SmoothTransformation)
               : image;
  UpdateTimer();
  update();
}

void PictureFrame::SetAnimation(Animation animation) {
  image_ = {};
  animation_ = std::move(animation);
  if (!animation_.drawFrame || animation_.size.isEmpty()) animation_.frameCount = 0;
  frame_ = 0;
  UpdateTimer();
  update();
}

void PictureFrame::Clear() {
  image_ = {};
  animation_ = {};
  UpdateTimer();
  update();
}

QRect PictureFrame::FittedRect(const QSize& picture) const {
  QSize fitted = picture.scaled(size(), Qt::KeepAspectRatio);
  return {(width() - fitted.width()) / 2, (height() - fitted.height()) / 2, fitted.width(),
          fitted.height()};
}

void PictureFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!image_.isNull()) {
    painter.drawImage(FittedRect(image_.size()), image_);
  } else if (animation_.frameCount > 0) {
    // Drawn straight into the box, scaled from the animation's own size: no frame is stored.
    QRect target = FittedRect(animation_.size);
    painter.translate(target.topLeft());
    painter.scale(double(target.width()) / animation_.size.width(),
                  double(target.height()) / animation_.size.height());
    painter.setRenderHint(QPainter::Antialiasing);
    animation_.drawFrame(painter, animation_.size, frame_);
  }
  if (framed_) {
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(palette().color(QPalette::Mid));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

// The animation runs only while the box is shown: a hidden cover costs nothing.
void PictureFrame::UpdateTimer() {
  if (animation_.frameCount > 1 && animation_.frameMs > 0 && isVisible()) {
    timer_.start(animation_.frameMs);
  } else {
    timer_.stop();
  }
}

void PictureFrame::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  UpdateTimer();
}

void PictureFrame::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  UpdateTimer();
}

}  // namespace mm
