// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rt {

// A picture object: what a control's Picture, Icon or MouseIcon property refers
// to. The runtime only knows its identity (the handle) and which stored art it
// was made from (the key); the window turns the key into pixels.
//
// Properties hold shared references, so assigning one control's Picture to
// another shares the object; two objects made from the same art are still two
// objects with two handles.
class Picture {
 public:
  Picture(std::uint32_t handle, std::string key) : handle_(handle), key_(std::move(key)) {}

  // The object's handle: equal for one object, different for any two.
  std::uint32_t handle() const { return handle_; }
  // The stored art this object was made from, e.g. "symbol7" or "pointer.coin".
  const std::string& key() const { return key_; }

 private:
  std::uint32_t handle_;
  std::string key_;
};

using PictureRef = std::shared_ptr<const Picture>;

// Makes picture objects with handles unique within one window.
class PictureFactory {
 public:
  PictureRef make(std::string_view key) {
    return std::make_shared<const Picture>(++last_handle_, std::string(key));
  }

 private:
  std::uint32_t last_handle_ = 0;
};

}  // namespace rt
