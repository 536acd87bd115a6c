// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/pictures.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QResource>
#include <QString>
#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "assets/embedded.h"
#include "assets/render/compose.h"
#include "assets/render/figures.h"

namespace window {
namespace {

// The figures' lettering must be known to the font database before the first
// figure with words is drawn, on whichever thread draws it. The system's own
// copy serves when it has one; the program's is the stand-in.
void registerLettering() {
  static const bool done = [] {
    if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans"))) return true;
    for (const char* file : assets::letteringFiles()) {
      const QResource resource(QString::fromLatin1(file));
      if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression)
        QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
            reinterpret_cast<const char*>(resource.data()), resource.size()));
      else
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    }
    return true;
  }();
  (void)done;
}

// The picture for `key` at `size`: drawn from the figures, or, should the
// figures fail (a broken build), the stored picture stretched, so that the
// window still shows every picture.
QImage drawPicture(art::Figures& figures, std::string_view key, QSize size) {
  const assets::ArtInfo* a = assets::findArt(key);
  if (!a || size.isEmpty()) return {};
  try {
    return art::compose(*a, figures, size);
  } catch (const std::exception&) {
    const QImage stored = assets::storedPicture(key);
    if (stored.isNull()) return {};
    return stored.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
}

// A picture drawn ahead waits, perhaps for the whole of the welcome panel,
// until the window shows it. An opaque one waits in three bytes a pixel
// instead of four: the same colours, a quarter less memory held. The window
// unpacks it once, into the screen's own opaque format.
QImage packed(std::string_view key, QImage img) {
  if (!PictureService::opaque(key) || img.isNull()) return img;
  return std::move(img).convertToFormat(QImage::Format_RGB888);
}

using Id = std::pair<std::string, std::pair<int, int>>;

Id idOf(std::string_view key, QSize size) {
  return {std::string(key), {size.width(), size.height()}};
}

// Gives the memory the drawings used for their intermediate steps (tiles,
// strips, blurs) back to the system once a batch is done, rather than keeping
// it for a batch that may never come.
void releaseScratch() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

// Screen pixels for `logical` window pixels at `dpr`.
int devicePixels(int logical, qreal dpr) {
  return static_cast<int>(std::lround(logical * dpr));
}

}  // namespace

// Draws the pictures prepare() asks for, one after another, on a thread of
// its own with figures of its own; the GUI thread collects the results.
class PictureService::Painter {
 public:
  Painter() = default;
  ~Painter() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
      queue_.clear();
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  void prepare(std::vector<Wanted> wanted) {
    {
      std::lock_guard lock(mutex_);
      queue_.assign(wanted.begin(), wanted.end());
      if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    changed_.notify_all();
  }

  // The drawing of `id` if the thread has made it (handed over once), or
  // after waiting for it if the thread is drawing it now. Takes `id` off the
  // queue otherwise: the caller draws it at once.
  std::optional<QImage> take(const Id& id) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return drawing_ != id; });
    auto it = done_.find(id);
    if (it != done_.end()) {
      QImage img = std::move(it->second);
      done_.erase(it);
      return img;
    }
    std::erase_if(queue_, [&](const Wanted& w) { return idOf(w.key, w.size) == id; });
    return std::nullopt;
  }

  bool has(const Id& id) {
    std::lock_guard lock(mutex_);
    return done_.count(id) > 0;
  }

  void waitIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return queue_.empty() && !drawing_; });
  }

 private:
  void run() {
#ifdef __linux__
    // Drawing ahead gives way to the window's own thread on a busy machine:
    // on Linux this lowers the priority of this thread alone.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
    // The figures are read for each run of work and let go when the queue
    // is empty: the game then holds only the pictures, not the drawings they
    // were made from.
    std::optional<art::Figures> figures;
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [&] { return stop_ || !queue_.empty(); });
      if (stop_) return;
      const Wanted next = std::move(queue_.front());
      queue_.pop_front();
      const Id id = idOf(next.key, next.size);
      if (done_.count(id)) continue;
      drawing_ = id;
      lock.unlock();
      if (!figures) figures.emplace(QString::fromLatin1(assets::figuresDir()));
      QImage img = packed(next.key, drawPicture(*figures, next.key, next.size));
      lock.lock();
      done_[id] = std::move(img);
      drawing_.reset();
      changed_.notify_all();
      if (queue_.empty()) {
        figures.reset();
        releaseScratch();
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Wanted> queue_;
  std::map<Id, QImage> done_;
  std::optional<Id> drawing_;
  bool stop_ = false;
  std::thread thread_;
};

PictureService::PictureService() : painter_(std::make_unique<Painter>()) {}
PictureService::~PictureService() = default;

QImage PictureService::image(std::string_view key) const {
  if (!info(key)) return {};
  auto it = images_.find(key);
  if (it != images_.end()) return it->second;
  return images_.emplace(std::string(key), assets::storedPicture(key)).first->second;
}

QImage PictureService::draw(std::string_view key, QSize size) const {
  registerLettering();
  if (!figures_)
    figures_ = std::make_unique<art::Figures>(QString::fromLatin1(assets::figuresDir()));
  return drawPicture(*figures_, key, size);
}

QPixmap PictureService::scaled(std::string_view key, QSize size, qreal dpr) {
  if (size.isEmpty() || !info(key)) return {};
  const Id id = idOf(key, size);
  auto it = scaled_.find(id);
  if (it == scaled_.end()) {
    std::optional<QImage> img = painter_->take(id);
    if (!img) img = draw(key, size);
    if (img->isNull()) return {};
    it = scaled_.emplace(id, QPixmap::fromImage(std::move(*img))).first;
  }
  // One pixmap per size, whatever ratio it is shown at: a copy carries the
  // ratio and shares the pixels.
  QPixmap pixmap = it->second;
  if (dpr != 1.0) pixmap.setDevicePixelRatio(dpr);
  return pixmap;
}

void PictureService::prepare(std::vector<Wanted> wanted) {
  registerLettering();
  std::erase_if(wanted, [&](const Wanted& w) {
    return w.size.isEmpty() || !info(w.key) || scaled_.count(idOf(w.key, w.size));
  });
  painter_->prepare(std::move(wanted));
}

void PictureService::waitPrepared() {
  painter_->waitIdle();
}

bool PictureService::drawn(std::string_view key, QSize size) const {
  const Id id = idOf(key, size);
  return scaled_.count(id) > 0 || painter_->has(id);
}

QCursor PictureService::cursor(std::string_view key, qreal dpr) const {
  const assets::ArtInfo* a = info(key);
  if (!a || !a->pointer) return QCursor(Qt::ArrowCursor);
  // One cursor per pointer and scale, shared by every widget that shows it.
  auto it = cursors_.find(std::make_pair(std::string(key), dpr));
  if (it != cursors_.end()) return it->second;
  QPixmap pixmap = QPixmap::fromImage(
      draw(key, QSize(devicePixels(a->width, dpr), devicePixels(a->height, dpr))));
  pixmap.setDevicePixelRatio(dpr);
  // The hot spot is given in the pointer's own pixels, which Qt maps onto the
  // pixmap at its ratio; but on X11 it reaches the display as given, in the
  // image's pixels, so there it is scaled here, or a click would land off
  // the drawn fingertip.
  const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
  const int hotX = x11 ? devicePixels(a->hot_x, dpr) : a->hot_x;
  const int hotY = x11 ? devicePixels(a->hot_y, dpr) : a->hot_y;
  const QCursor cursor = pixmap.isNull() ? QCursor(Qt::ArrowCursor) : QCursor(pixmap, hotX, hotY);
  return cursors_.emplace(std::make_pair(std::string(key), dpr), cursor).first->second;
}

QIcon PictureService::icon(qreal dpr) const {
  auto it = icons_.find(dpr);
  if (it != icons_.end()) return it->second;
  const assets::ArtInfo* a = info("icon");
  QIcon icon;
  if (a) {
    // The system picks the size it shows; each is drawn at its own pixels.
    std::vector<int> sizes{16, 24, 32, a->width};
    if (dpr != 1.0)
      for (int s : {16, 24, 32, a->width}) sizes.push_back(devicePixels(s, dpr));
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    for (int s : sizes) {
      const QImage img = draw("icon", QSize(s, s));
      if (!img.isNull()) icon.addPixmap(QPixmap::fromImage(img));
    }
  }
  return icons_.emplace(dpr, icon).first->second;
}

}  // namespace window
