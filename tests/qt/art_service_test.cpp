// SPDX-License-Identifier: GPL-3.0-or-later
// The picture service: pointers and their hot spots, the icon, the scaled
// pixmap cache, unknown keys, and which picture object each property gets.

#include <gtest/gtest.h>

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <map>
#include <set>
#include <string>

#include "game/form1.h"
#include "window/qt/picture_export.h"
#include "window/qt/pictures.h"

namespace {

using window::PictureService;

TEST(ArtService, PointersCarryTheirHotSpots) {
  PictureService pictures;
  struct Case {
    const char* key;
    QSize size;
    QPoint hot;
  };
  for (const Case& c :
       {Case{"pointer.window", {32, 32}, {0, 0}}, Case{"pointer.button", {32, 32}, {13, 1}},
        Case{"pointer.coin", {48, 48}, {24, 24}}}) {
    SCOPED_TRACE(c.key);
    const QCursor cursor = pictures.cursor(c.key);
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), c.hot);
    EXPECT_EQ(cursor.pixmap().size(), c.size);
  }
}

TEST(ArtService, HotSpotsLieWhereTheDrawingSaysTheyDo) {
  PictureService pictures;
  // The button pointer's hot spot is its fingertip.
  const QImage button = pictures.image("pointer.button");
  EXPECT_EQ(qAlpha(button.pixel(13, 1)), 255);
  EXPECT_EQ(qAlpha(button.pixel(13, 0)), 0) << "nothing above the fingertip";

  // The window pointer's hot spot is the image's corner, not the fingertip,
  // which lies a few pixels right of and below it.
  const QImage win = pictures.image("pointer.window");
  EXPECT_EQ(qAlpha(win.pixel(0, 0)), 0);
  int tip = 0, corner = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool drawn = qAlpha(win.pixel(x, y)) == 255;
      if (x < 2 && y < 2) corner += drawn;
      if (x >= 2 && y >= 2 && x < 7 && y < 7) tip += drawn;
    }
  EXPECT_EQ(corner, 0);
  EXPECT_GT(tip, 0);

  // The coin pointer is the coin's right half: its hot spot, the centre,
  // lies on the coin near the straight edge, and left of it is empty.
  const QImage coin = pictures.image("pointer.coin");
  EXPECT_EQ(qAlpha(coin.pixel(24, 24)), 255);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 22; ++x) ASSERT_EQ(qAlpha(coin.pixel(x, y)), 0) << x << "," << y;
  const QRgb face = coin.pixel(40, 24);
  EXPECT_GT(qRed(face), 180);
  EXPECT_GT(qGreen(face), 120);
  EXPECT_LT(qBlue(face), 100) << "gold";
}

TEST(ArtService, KeysThatAreNoPointerGiveTheArrow) {
  PictureService pictures;
  for (const char* key : {"symbol0", "icon", "no.such.art", ""}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(pictures.cursor(key).shape(), Qt::ArrowCursor);
  }
}

TEST(ArtService, UnknownKeysAndEmptySizesGiveNothingAndDoNotFail) {
  PictureService pictures;
  EXPECT_EQ(PictureService::info("symbol10"), nullptr);
  EXPECT_TRUE(pictures.image("symbol10").isNull());
  EXPECT_TRUE(pictures.image("").isNull());
  EXPECT_TRUE(pictures.scaled("symbol10", QSize(10, 10)).isNull());
  EXPECT_TRUE(pictures.scaled("symbol1", QSize(0, 10)).isNull());
  EXPECT_TRUE(pictures.scaled("symbol1", QSize(-5, -5)).isNull());
  rt::PictureFactory factory;
  EXPECT_TRUE(pictures.image(*factory.make("Symbol1")).isNull()) << "keys are exact";
}

TEST(ArtService, ScaledPixmapsAreMadeOncePerSize) {
  PictureService pictures;
  const QPixmap reel = pictures.scaled("symbol4", QSize(129, 225));
  ASSERT_EQ(reel.size(), QSize(129, 225));
  EXPECT_EQ(pictures.scaled("symbol4", QSize(129, 225)).cacheKey(), reel.cacheKey());
  const QPixmap tiny = pictures.scaled("symbol4", QSize(17, 25));
  EXPECT_EQ(tiny.size(), QSize(17, 25));
  EXPECT_NE(tiny.cacheKey(), reel.cacheKey());
  // Width and height are stretched independently, as a stretched image is.
  EXPECT_EQ(pictures.scaled("title", QSize(273, 225)).size(), QSize(273, 225));
  // At its stored size the pixmap is the picture itself.
  EXPECT_EQ(pictures.scaled("burst", QSize(75, 75)).toImage().convertToFormat(QImage::Format_RGB32),
            pictures.image("burst").convertToFormat(QImage::Format_RGB32));
}

TEST(ArtService, WindowIconComesAtItsOwnSizeAndSmaller) {
  PictureService pictures;
  const QIcon icon = pictures.icon();
  ASSERT_FALSE(icon.isNull());
  const QList<QSize> sizes = icon.availableSizes();
  for (QSize s : {QSize(48, 48), QSize(32, 32), QSize(16, 16)})
    EXPECT_TRUE(sizes.contains(s)) << s.width();
  const QImage big = icon.pixmap(48, 48).toImage();
  EXPECT_EQ(qAlpha(big.pixel(0, 47)), 0);
  EXPECT_EQ(qAlpha(big.pixel(24, 28)), 255);
}

TEST(ArtService, EveryPropertyOfTheWindowGetsAnObjectOfItsOwn) {
  PictureService pictures;
  game::Form1 f;
  std::map<std::string, rt::PictureRef> by;
  for (const rt::Control& c : f.controls()) {
    if (c.picture()) by[std::string(c.name()) + ".Picture"] = c.picture();
    if (c.mouseIcon()) by[std::string(c.name()) + ".MouseIcon"] = c.mouseIcon();
  }
  by["Form1.Icon"] = f.icon();
  by["Form1.MouseIcon"] = f.mouseIcon();
  std::set<std::uint32_t> handles;
  for (const auto& [property, ref] : by) {
    ASSERT_TRUE(ref) << property;
    handles.insert(ref->handle());
  }
  EXPECT_EQ(by.size(), 25u);
  EXPECT_EQ(handles.size(), by.size()) << "no two properties share an object";

  // The reels start with three copies of symbol 7: the same pixels as
  // Image7's picture, yet none of them is that object.
  const QImage seven = pictures.image(*by.at("Image7.Picture"));
  for (const char* reel :
       {"ImageNumber1.Picture", "ImageNumber2.Picture", "ImageNumber3.Picture"}) {
    SCOPED_TRACE(reel);
    EXPECT_EQ(by.at(reel)->key(), "symbol7");
    EXPECT_NE(by.at(reel), by.at("Image7.Picture"));
    EXPECT_EQ(pictures.image(*by.at(reel)), seven);
  }

  // The two buttons: two objects, one pointer.
  const rt::PictureRef b1 = by.at("Command1.MouseIcon"), b2 = by.at("Command2.MouseIcon");
  EXPECT_EQ(pictures.cursor(*b1).hotSpot(), pictures.cursor(*b2).hotSpot());
  EXPECT_EQ(pictures.cursor(*b1).pixmap().toImage(), pictures.cursor(*b2).pixmap().toImage());

  // A reel stopped on symbol 4 shows the very pixmap the window already made
  // for that art at the reel's size: nothing is scaled twice.
  const QPixmap before = pictures.scaled(*f.reel(2).picture(), QSize(129, 225));
  f.reel(2).setPicture(f.symbolImage(4).picture());
  const QPixmap after = pictures.scaled(*f.reel(2).picture(), QSize(129, 225));
  EXPECT_NE(after.cacheKey(), before.cacheKey());
  EXPECT_EQ(after.cacheKey(), pictures.scaled("symbol4", QSize(129, 225)).cacheKey());
}

TEST(ArtService, PicturePropertiesAreEveryOneOfTheWindowWithKnownArtAndShownSize) {
  struct Case {
    const char* name;
    const char* key;
    QSize shown;
  };
  const Case cases[] = {
      {"Image0.Picture", "symbol0", {17, 25}},
      {"ImageNumber3.Picture", "symbol7", {129, 225}},
      {"ImageEmpty.Picture", "flash", {385, 225}},
      {"Image12.Picture", "title", {273, 225}},
      {"Form1.Icon", "icon", {32, 32}},
      {"LabelInsertCoin.MouseIcon", "pointer.coin", {48, 48}},
      {"Command2.MouseIcon", "pointer.button", {32, 32}},
  };
  std::map<QString, window::PictureProperty> by;
  for (const window::PictureProperty& p : window::pictureProperties()) {
    ASSERT_NE(p.art, nullptr) << p.name.toStdString();
    EXPECT_TRUE(by.emplace(p.name, p).second) << "twice: " << p.name.toStdString();
  }
  EXPECT_EQ(by.size(), 25u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(by.count(c.name));
    EXPECT_EQ(by.at(c.name).art->key, c.key);
    EXPECT_EQ(by.at(c.name).shown, c.shown);
  }
}

}  // namespace
