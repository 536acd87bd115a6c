// SPDX-License-Identifier: GPL-3.0-or-later
// Watches parts of a window from outside, as a camera would: every
// millisecond it reads the pixels of each rectangle from the X server and
// prints a line when they differ from the last reading.
//
//   zarnovik_watch WINDOW SECONDS X,Y,W,H...
//
// WINDOW is an X window id (decimal or 0x...), the rectangles are in the
// window's pixels. Output, one line per change: MONOTONIC_US INDEX, where
// INDEX is the rectangle's position in the arguments (from 0). The first
// reading of each rectangle is printed too. Lines with "#" are remarks: the
// readings made and the sampling periods that overran a millisecond.
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Rect {
  std::int16_t x, y;
  std::uint16_t w, h;
};

bool parseRect(const char* text, Rect& r) {
  int x = 0, y = 0, w = 0, h = 0;
  char tail = 0;
  if (std::sscanf(text, "%d,%d,%d,%d%c", &x, &y, &w, &h, &tail) != 4) return false;
  if (x < 0 || y < 0 || w <= 0 || h <= 0 || x > 32767 || y > 32767 || w > 4096 || h > 4096)
    return false;
  r = {static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), static_cast<std::uint16_t>(w),
       static_cast<std::uint16_t>(h)};
  return true;
}

std::int64_t nowUs(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

// FNV-1a over the pixels: a change of any pixel changes it (but for
// collisions, which 64 bits make negligible here).
std::uint64_t digest(const std::uint8_t* data, int length) {
  std::uint64_t h = 14695981039346656037ull;
  for (int i = 0; i < length; ++i) h = (h ^ data[i]) * 1099511628211ull;
  return h;
}

int usage() {
  std::fputs("usage: zarnovik_watch WINDOW SECONDS X,Y,W,H...\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return usage();
  char* end = nullptr;
  const unsigned long window = std::strtoul(argv[1], &end, 0);
  if (*end != '\0' || window == 0) return usage();
  const double seconds = std::strtod(argv[2], &end);
  if (*end != '\0' || !(seconds > 0)) return usage();
  std::vector<Rect> rects(static_cast<std::size_t>(argc - 3));
  for (int i = 3; i < argc; ++i)
    if (!parseRect(argv[i], rects[static_cast<std::size_t>(i - 3)])) return usage();

  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::fputs("zarnovik_watch: cannot open the display\n", stderr);
    return 1;
  }
  std::vector<std::uint64_t> last(rects.size());
  std::vector<bool> seen(rects.size(), false);
  timespec next{};
  clock_gettime(CLOCK_MONOTONIC, &next);
  const std::int64_t stop = nowUs(next) + static_cast<std::int64_t>(seconds * 1e6);
  long readings = 0, overruns = 0;
  std::vector<xcb_get_image_cookie_t> cookies;
  cookies.reserve(rects.size());
  for (;;) {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    if (nowUs(t) >= stop) break;
    // All requests out first, then the replies: one round trip a sampling.
    cookies.clear();
    for (const Rect& r : rects)
      cookies.push_back(xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP,
                                      static_cast<xcb_drawable_t>(window), r.x, r.y, r.w, r.h,
                                      ~0u));
    for (std::size_t i = 0; i < rects.size(); ++i) {
      xcb_generic_error_t* error = nullptr;
      xcb_get_image_reply_t* reply = xcb_get_image_reply(c, cookies[i], &error);
      if (reply == nullptr) {
        std::fprintf(stderr, "zarnovik_watch: cannot read rectangle %zu (X error %d)\n", i,
                     error ? error->error_code : 0);
        std::free(error);
        xcb_disconnect(c);
        return 1;
      }
      const std::uint64_t d = digest(xcb_get_image_data(reply), xcb_get_image_data_length(reply));
      std::free(reply);
      if (!seen[i] || d != last[i]) std::printf("%lld %zu\n", static_cast<long long>(nowUs(t)), i);
      seen[i] = true;
      last[i] = d;
    }
    ++readings;
    next.tv_nsec += 1000000;
    if (next.tv_nsec >= 1000000000) {
      next.tv_nsec -= 1000000000;
      ++next.tv_sec;
    }
    timespec after{};
    clock_gettime(CLOCK_MONOTONIC, &after);
    if (nowUs(after) > nowUs(next)) {
      ++overruns;
      next = after;  // behind: sample again at once, and keep the pace from here
    } else {
      clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    }
  }
  std::printf("# readings %ld overruns %ld\n", readings, overruns);
  xcb_disconnect(c);
  return 0;
}
