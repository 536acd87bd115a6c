// SPDX-License-Identifier: GPL-3.0-or-later
// The icon theme's icons as zarnovik-render --icons draws them: each at its
// size from the figures, the same picture at every size, and a scalable
// drawing that shows what the largest bitmap shows.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

const std::vector<int> kSizes{16, 24, 32, 48, 64, 128, 256};

int runRenderer(const QStringList& args, QString* errors = nullptr) {
  QProcess p;
  p.start(QStringLiteral(ZRNV_RENDER_PATH), QStringList{"--icons"} + args);
  if (!p.waitForFinished(60000)) return -1;
  if (errors) *errors = QString::fromLocal8Bit(p.readAllStandardError());
  return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Share of the picture covered, counting a half-transparent pixel by half.
double coverage(const QImage& img) {
  double sum = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) sum += qAlpha(img.pixel(x, y)) / 255.0;
  return sum / (img.width() * img.height());
}

// Mean difference per channel of two equal-sized pictures, premultiplied, 0..255.
double meanDifference(const QImage& a, const QImage& b) {
  const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  double sum = 0;
  for (int y = 0; y < pa.height(); ++y)
    for (int x = 0; x < pa.width(); ++x) {
      const QRgb p = pa.pixel(x, y), q = pb.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
    }
  return sum / (4.0 * pa.width() * pa.height());
}

class IconTheme : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir;
    QStringList args{QStringLiteral(ZRNV_FIGURES_DIR), dir_->path()};
    for (int s : kSizes) args << QString::number(s);
    QString errors;
    status_ = runRenderer(args, &errors);
    errors_ = new QString(errors);
  }
  static void TearDownTestSuite() {
    delete dir_;
    delete errors_;
  }
  void SetUp() override { ASSERT_EQ(status_, 0) << errors_->toStdString(); }

  static QImage png(int size) { return QImage(dir_->filePath(QString("%1.png").arg(size))); }

  static inline QTemporaryDir* dir_ = nullptr;
  static inline QString* errors_ = nullptr;
  static inline int status_ = -1;
};

TEST_F(IconTheme, EachSizeIsTheSamePictureDrawnAtThatSize) {
  const double reference = coverage(png(48));
  const QImage largest = png(256);
  for (int size : kSizes) {
    SCOPED_TRACE(size);
    const QImage img = png(size);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(size, size));
    EXPECT_TRUE(img.hasAlphaChannel());
    // Transparent in the corners, opaque in the middle of the face.
    for (QPoint corner :
         {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
      EXPECT_LT(qAlpha(img.pixel(corner)), 8) << corner.x() << "," << corner.y();
    EXPECT_EQ(qAlpha(img.pixel(size / 2, size / 2)), 255);
    // The same drawing in the same place: the covered share does not change
    // with the size, and the largest icon reduced to this size looks alike.
    EXPECT_NEAR(coverage(img), reference, 0.03);
    const QImage reduced =
        largest.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(meanDifference(img, reduced), size <= 24 ? 14.0 : 8.0);
  }
}

TEST_F(IconTheme, LargeIconsHaveCrispEdgesNotAnEnlargedSmallOne) {
  // Drawn from the figures, an icon's edge is smoothed over about a pixel at
  // any size, so the share of half-covered pixels falls as the size grows.
  // A small icon blown up has edges as wide as its enlargement, or none at
  // all when it was enlarged pixel by pixel from the masked window icon.
  for (int size : {128, 256}) {
    SCOPED_TRACE(size);
    const QImage img = png(size);
    int covered = 0, partial = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const int a = qAlpha(img.pixel(x, y));
        covered += a > 0;
        partial += a > 0 && a < 255;
      }
    ASSERT_GT(covered, 0);
    const double share = double(partial) / covered;
    EXPECT_GT(share, 3.0 / size);
    EXPECT_LT(share, 20.0 / size);
  }
}

TEST_F(IconTheme, ScalableIconIsSelfContainedAndShowsTheSamePicture) {
  const QString path = dir_->filePath("scalable.svg");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray text = f.readAll();
  // Paths only: no embedded bitmap and nothing fetched from elsewhere.
  EXPECT_FALSE(text.contains("<image"));
  EXPECT_FALSE(text.contains("href="));

  QSvgRenderer svg(path);
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox(), QRect(0, 0, 48, 48));
  QImage drawn(256, 256, QImage::Format_ARGB32_Premultiplied);
  drawn.fill(Qt::transparent);
  {
    QPainter p(&drawn);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(0, 0, 256, 256));
  }
  EXPECT_LT(meanDifference(drawn, png(256)), 2.0);
}

TEST(IconThemeArguments, BadSizesAreRefusedAndNothingIsWritten) {
  const struct {
    const char* what;
    QStringList sizes;
  } cases[] = {
      {"no size", {}},
      {"zero", {"0"}},
      {"below the smallest", {"7"}},
      {"above the largest", {"1025"}},
      {"negative", {"-16"}},
      {"not a number", {"big"}},
      {"with a unit", {"48px"}},
      {"empty", {""}},
      {"one bad among good", {"16", "x", "32"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QTemporaryDir dir;
    const QString out = dir.filePath("icons");
    EXPECT_EQ(runRenderer(QStringList{ZRNV_FIGURES_DIR, out} + c.sizes), 2);
    EXPECT_FALSE(QDir(out).exists());
  }
}

TEST(IconThemeArguments, MissingFiguresFailTheRender) {
  QTemporaryDir dir;
  QString errors;
  EXPECT_EQ(runRenderer({dir.filePath("no-figures"), dir.filePath("icons"), "16"}, &errors), 1);
  EXPECT_TRUE(errors.contains("missing figure")) << errors.toStdString();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
