// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/form.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace rt {
namespace {

PictureRef makeIfSet(PictureFactory& factory, std::string_view key) {
  return key.empty() ? nullptr : factory.make(key);
}

}  // namespace

Form::Form(const FormSpec& stored, std::span<const ControlSpec> controls)
    : stored_(stored),
      changed_(controls.size()),
      readsOfMore_(controls.size() > readsHeld_.size() ? controls.size() : 0, Marks{}),
      reads_(readsOfMore_.empty() ? readsHeld_.data() : readsOfMore_.data(), controls.size()),
      readsHeldInForm_(readsOfMore_.empty()) {
  controls_.reserve(controls.size());  // controls never move once made
  icon_ = makeIfSet(pictures_, stored.icon);
  mouseIcon_ = makeIfSet(pictures_, stored.mouseIcon);
  for (const ControlSpec& c : controls) {
    if (find(c.name) != nullptr) {
      throw std::invalid_argument("two controls named " + std::string(c.name));
    }
    Control* container = nullptr;
    if (c.container != stored.name) {
      container = find(c.container);
      if (container == nullptr || container->kind() != Kind::Frame) {
        // Frames come before the controls they hold.
        throw std::invalid_argument(std::string(c.name) + " lies in an unknown frame");
      }
    }
    // Every picture property gets its own object, even where the art is the same.
    controls_.emplace_back(*this, static_cast<int>(controls_.size()), c, container,
                           makeIfSet(pictures_, c.picture), makeIfSet(pictures_, c.mouseIcon));
    if (c.kind == Kind::Timer) timers_.push_back(&controls_.back());
  }
}

Control* Form::find(std::string_view name) {
  for (Control& c : controls_) {
    if (c.name() == name) return &c;
  }
  return nullptr;
}

Control& Form::control(std::string_view name) {
  Control* c = find(name);
  if (c == nullptr) throw std::out_of_range("no control named " + std::string(name));
  return *c;
}

void Form::noteChangeNeedingAttention(Control& control, Property property) {
  ChangeMarks& marks = *control.changeMarks_;
  if (marks.changed == Marks{}) changedOrder_.push_back(control.index());
  marks.changed = marks.changed | property;
  marks.settle();
  if ((bitsOf(marks.watched) & property) != 0 && timerHost_ != nullptr)
    timerHost_->watchedChanged(control, property);
}

void Form::takeReads(std::vector<std::uint8_t>& reads) {
  reads.resize(reads_.size());
  for (std::size_t i = 0; i < reads_.size(); ++i) reads[i] = bitsOf(reads_[i]);
  forgetReads();
}

void Form::watch(std::span<const std::uint8_t> masks) {
  for (std::size_t i = 0; i < changed_.size(); ++i) {
    changed_[i].watched = i < masks.size() ? static_cast<Marks>(masks[i]) : Marks{};
    changed_[i].settle();
  }
}

std::vector<Form::Change> Form::takeChanges() {
  std::vector<Change> changes;
  changes.reserve(changedOrder_.size());
  for (int index : changedOrder_) {
    auto i = static_cast<std::size_t>(index);
    changes.push_back({&controls_[i], bitsOf(changed_[i].changed)});
    changed_[i].changed = Marks{};
    changed_[i].settle();
  }
  changedOrder_.clear();
  return changes;
}

}  // namespace rt
