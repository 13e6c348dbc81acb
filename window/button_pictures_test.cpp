#include "window/button_pictures.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QRect>
#include <vector>

namespace {

// The black pixels the pictures must have: bars three pixels thick, given as
// rectangles of columns and rows; everything else is transparent.
void ExpectBars(const QImage& picture, const std::vector<QRect>& bars) {
  ASSERT_EQ(picture.size(), QSize(10, 10));
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      bool inBar = false;
      for (const QRect& bar : bars) inBar = inBar || bar.contains(x, y);
      const QColor pixel = picture.pixelColor(x, y);
      if (inBar) {
        EXPECT_EQ(pixel, QColor(Qt::black)) << "column " << x << ", row " << y;
      } else {
        EXPECT_EQ(pixel.alpha(), 0) << "column " << x << ", row " << y;
      }
    }
  }
}

TEST(ButtonPictures, PlusHasACrossOfThreePixelBars) {
  ExpectBars(PlusPicture(), {QRect(QPoint(1, 4), QPoint(9, 6)), QRect(QPoint(4, 1), QPoint(6, 9))});
}

TEST(ButtonPictures, MinusHasOneBar) {
  ExpectBars(MinusPicture(), {QRect(QPoint(1, 4), QPoint(9, 6))});
}

TEST(ButtonPictures, EqualsHasTwoBars) {
  ExpectBars(EqualsPicture(),
             {QRect(QPoint(1, 2), QPoint(9, 4)), QRect(QPoint(1, 6), QPoint(9, 8))});
}

}  // namespace
