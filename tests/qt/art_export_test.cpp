// SPDX-License-Identifier: GPL-3.0-or-later
// zarnovik-art's output: one PNG per picture property, the pointers' hot
// spots and the contact sheet.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "window/qt/picture_export.h"

namespace {

using window::PictureService;

TEST(ArtExport, WritesEveryPropertyPointersAndSheet) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString dir = tmp.filePath("out/art");  // created on the way
  PictureService pictures;
  QString error;
  ASSERT_TRUE(window::exportPictures(pictures, dir, &error)) << error.toStdString();

  const QStringList pngs = QDir(dir).entryList({"*.png"}, QDir::Files);
  EXPECT_EQ(pngs.size(), 26) << "25 pictures and the sheet";
  for (const window::PictureProperty& p : window::pictureProperties()) {
    const QString name = p.name + ".png";
    SCOPED_TRACE(name.toStdString());
    const QImage img(QDir(dir).filePath(name));
    ASSERT_FALSE(img.isNull());
    const assets::ArtInfo* a = p.art;
    EXPECT_EQ(img.size(), QSize(a->width, a->height));
    EXPECT_EQ(img.hasAlphaChannel(), a->form != assets::ArtForm::Bitmap);
  }

  QFile json(QDir(dir).filePath("pointers.json"));
  ASSERT_TRUE(json.open(QIODevice::ReadOnly));
  const QJsonObject pointers = QJsonDocument::fromJson(json.readAll()).object();
  struct Case {
    const char* property;
    int x, y;
  };
  EXPECT_EQ(pointers.size(), 4);
  for (const Case& c :
       {Case{"Form1.MouseIcon", 0, 0}, Case{"Command1.MouseIcon", 13, 1},
        Case{"Command2.MouseIcon", 13, 1}, Case{"LabelInsertCoin.MouseIcon", 24, 24}}) {
    SCOPED_TRACE(c.property);
    const QJsonArray hot = pointers.value(c.property).toObject().value("hotspot").toArray();
    ASSERT_EQ(hot.size(), 2);
    EXPECT_EQ(hot[0].toInt(), c.x);
    EXPECT_EQ(hot[1].toInt(), c.y);
  }

  const QImage sheet(QDir(dir).filePath("sheet.png"));
  ASSERT_FALSE(sheet.isNull());
  EXPECT_GE(sheet.width(), 397 + 273);
  EXPECT_GE(sheet.height(), 332 + 225);
}

TEST(ArtExport, ReportsADirectoryItCannotWrite) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  QFile blocker(tmp.filePath("taken"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  PictureService pictures;
  QString error;
  EXPECT_FALSE(window::exportPictures(pictures, tmp.filePath("taken"), &error));
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
