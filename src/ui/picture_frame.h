#pragma once
// A picture box: shows one still picture scaled to fit (keeping its proportions, centred), or a
// looping animation whose frames are drawn by a function. The poster box and the busy cover are
// both picture boxes.

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>

class QPainter;

namespace mm {

struct Animation {
  // Draws frame `index` (0 .. frameCount - 1) into a picture of `size`.
  std::function<void(QPainter&, const QSize&, int index)> drawFrame;
  QSize size;          // the animation's own size; it is scaled to fit the box
  int frameCount = 0;
  int frameMs = 0;
};

class PictureFrame : public QWidget {
 public:
  explicit PictureFrame(QWidget* parent = nullptr);

  void SetImage(const QImage& image);  // replaces an animation too
  void SetAnimation(Animation animation);
  void Clear();
  bool HasPicture() const { return !image_.isNull() || animation_.frameCount > 0; }
  // A thin border shows where the picture goes while there is none.
  void SetFramed(bool framed) {
    framed_ = framed;
    update();
  }
  bool IsAnimating() const { return timer_.isActive(); }
  int CurrentFrame() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void UpdateTimer();
  QRect FittedRect(const QSize& picture) const;

  QImage image_;
  Animation animation_;
  int frame_ = 0;
  bool framed_ = false;
  QTimer timer_;
};

}  // namespace mm
