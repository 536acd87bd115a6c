// SPDX-License-Identifier: GPL-3.0-or-later
// The page's entry points: plain C functions that web/page/zarnovik.js calls
// through the WebAssembly module. Texts go both ways as UTF-8; each answer
// stays valid until the next call.

#include <emscripten/emscripten.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "web/web_host.h"

namespace {

std::unique_ptr<web::WebHost> host;
std::string answer;

const char* keep(std::string text) {
  answer = std::move(text);
  return answer.c_str();
}

}  // namespace

extern "C" {

// Starts a game: seeded with `seed` (a whole number from 0 to 2^64 - 1, as
// ZRNV_SEED takes), or from the clock when it is empty. Returns the window's
// description, or {"error": ...} for a seed that is not such a number.
EMSCRIPTEN_KEEPALIVE const char* zrnv_start(const char* seed) {
  const std::size_t n = std::strlen(seed);
  if (n == 0) {
    host = std::make_unique<web::WebHost>(rt::SystemSeedClock());
  } else {
    std::uint64_t value = 0;
    const auto [stop, error] = std::from_chars(seed, seed + n, value);
    if (error != std::errc() || stop != seed + n)
      return keep("{\"error\":\"seed must be a whole number from 0 to 18446744073709551615\"}");
    host = std::make_unique<web::WebHost>(rt::FixedSeedClock(value));
  }
  return keep(host->describe());
}

// Event numbers: 0 click, 1 mouse down, 2 mouse up (rt::Event).
EMSCRIPTEN_KEEPALIVE const char* zrnv_deliver(int control, int event, double now) {
  if (!host || event < 0 || event > 2) return keep("{\"changes\":[],\"due\":-1}");
  return keep(host->deliver(control, static_cast<rt::Event>(event), now));
}

EMSCRIPTEN_KEEPALIVE const char* zrnv_tick(double now) {
  if (!host) return keep("{\"changes\":[],\"due\":-1}");
  return keep(host->tick(now));
}

EMSCRIPTEN_KEEPALIVE const char* zrnv_recording() {
  return keep(host ? host->recording() : std::string());
}

EMSCRIPTEN_KEEPALIVE const char* zrnv_show() {
  return keep(host ? host->show() : std::string());
}

}  // extern "C"
