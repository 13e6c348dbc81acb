#include "window/button_pictures.h"

#include <QColor>
#include <array>

namespace {

using Art = std::array<const char*, 10>;  // '#' black, '.' transparent

constexpr Art kPlus = {
    "..........",  //
    "....###...",  //
    "....###...",  //
    "....###...",  //
    ".#########",  //
    ".#########",  //
    ".#########",  //
    "....###...",  //
    "....###...",  //
    "....###...",  //
};

constexpr Art kMinus = {
    "..........",  //
    "..........",  //
    "..........",  //
    "..........",  //
    ".#########",  //
    ".#########",  //
    ".#########",  //
    "..........",  //
    "..........",  //
    "..........",  //
};

constexpr Art kEquals = {
    "..........",  //
    "..........",  //
    ".#########",  //
    ".#########",  //
    ".#########",  //
    "..........",  //
    ".#########",  //
    ".#########",  //
    ".#########",  //
    "..........",  //
};

QImage Draw(const Art& art) {
  QImage image(10, 10, QImage::Format_ARGB32);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      image.setPixelColor(x, y, art[y][x] == '#' ? QColor(Qt::black) : QColor(Qt::transparent));
    }
  }
  return image;
}

}  // namespace

QImage PlusPicture() {
  return Draw(kPlus);
}
QImage MinusPicture() {
  return Draw(kMinus);
}
QImage EqualsPicture() {
  return Draw(kEquals);
}
