// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game's window on screen: Form1 with its 56 controls.
//
// Labels, images, the shape and the lines have no window of their own: the
// window (or the frame that holds them) paints them, bottom of the stacking
// order first, from their live properties. Frames and buttons are real
// widgets above them. The window never changes the game itself: mouse and
// keyboard input become events handed to `deliver`, and whatever the handlers
// changed comes back through applyChanges(), which schedules the repaint of
// just those controls.

#include <QRegion>
#include <QWidget>
#include <functional>
#include <map>
#include <span>
#include <vector>

#include "runtime/events.h"
#include "runtime/form.h"
#include "window/qt/pictures.h"

namespace window {

class FrameBox;

class FormWindow final : public QWidget {
  Q_OBJECT

 public:
  using Deliver = std::function<void(rt::Control& control, rt::Event event)>;

  FormWindow(rt::Form& form, PictureService& pictures, Deliver deliver, QWidget* parent = nullptr);
  ~FormWindow() override;

  // Repaints, after a handler has returned, the controls it changed: a
  // windowless control's rectangle, a frame or button shown or hidden, the
  // pointer over the coin slot. Returns the area of the window to be
  // repainted, in window coordinates.
  QRegion applyChanges(std::span<const rt::Form::Change> changes);

  // A control's rectangle in the window's client area (for a line, the
  // rectangle its pixels fill).
  QRect windowRect(const rt::Control& control) const;
  // The widget of a frame or a button; nullptr for a windowless control.
  QWidget* widgetOf(const rt::Control& control) const;

  // A key that clicks a windowless control of the window as the mouse would
  // on its centre: press, release and click, delivered only if the mouse
  // could click it there (nothing lies above it and it takes input).
  using IsKey = bool (*)(int key, Qt::KeyboardModifiers modifiers);
  void setKeyClick(IsKey isKey, rt::Control& control);
  // Clicks `control` on its centre as the mouse would; returns whether the
  // press was delivered.
  bool clickCentre(rt::Control& control);

  // Puts the keyboard focus on the first button by tab order.
  void focusFirstButton();

  // The union of the areas the window itself has painted since the last call.
  QRegion takePaintedRegion();

 signals:
  // The player closed the window.
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class FrameBox;

  // The windowless controls of one container (nullptr: the window) that show
  // in `dirty`, in the container's own coordinates, top first; and the part
  // of `dirty` that none of them fills, where the container's ground shows.
  struct Showing {
    std::vector<const rt::Control*> controls;
    QRegion ground;
  };
  Showing showing(const rt::Control* container, const QRegion& dirty) const;
  // Paints the controls of `showing`, bottom to top (the ground is the
  // caller's).
  void paintWindowless(QPainter& painter, const Showing& showing);
  // The topmost visible label or image of the window under `pos`: the one
  // that takes the mouse there, unless a frame or button lies above it.
  rt::Control* windowlessAt(QPointF pos) const;
  // The button on the window painted on the screen pixel under `pos`: at a
  // fractional scale its last column and row of pixels lie where the
  // rounded position misses it, and the window hands such a click on.
  QWidget* buttonAt(QPointF pos) const;
  void forwardTo(QWidget* button, QMouseEvent* event);
  // Chooses the pointer for `pos`: the coin slot's pointer over an open slot,
  // the window's pointer elsewhere. `force` applies it even if unchanged.
  void updatePointer(QPointF pos, bool force = false);
  // Sets the pointers and the icon at `dpr` screen pixels per window pixel
  // and has the pictures drawn for that scale before they are shown.
  void adoptScale(qreal dpr);
  // Has the pictures drawn ahead for `dpr`: while a frame covers them only
  // those in view once it goes, afterwards all.
  void prepareFor(qreal dpr);
  // Whether a frame on the window lies over any of its images.
  bool framesCoverPictures() const;
  // What the window may show at `dpr`, first shown first, each at its size in
  // screen pixels: only what is in view once the frames over the window go,
  // or, with `all`, everything the images may show.
  std::vector<PictureService::Wanted> picturesToPrepare(qreal dpr, bool all) const;
  QRect localRect(const rt::Control& control) const;
  // Building the window: the frames, the buttons (with their tab order),
  // then the frames and buttons on the window stacked as described.
  void addFrames();
  void addButtons();
  void stackWidgets();

  rt::Form& form_;
  PictureService& pictures_;
  Deliver deliver_;
  // Windowless controls by container, bottom of the stacking order first.
  std::map<const rt::Control*, std::vector<rt::Control*>> windowless_;
  std::map<const rt::Control*, QWidget*> widgets_;
  std::vector<QWidget*> buttonsByTab_;
  // The frames lying on the window itself; each paints all of its rectangle.
  std::vector<QWidget*> windowFrames_;
  rt::Control* pressed_ = nullptr;
  QWidget* pressedButton_ = nullptr;
  IsKey clickKey_ = nullptr;
  rt::Control* clickKeyControl_ = nullptr;
  const rt::Picture* pointerShown_ = nullptr;
  // Where the mouse last was over the window's own area; off the window when
  // it is elsewhere. Kept from the mouse events, so that choosing the pointer
  // after a tick needs no round trip to the display.
  QPointF mousePos_{-1, -1};
  QRegion painted_;
  // The scale the pointers were made for, and the scale last painted at.
  qreal pointerScale_ = 0.0;
  qreal preparedScale_ = 0.0;
  // A frame over the pictures has gone: the rest are drawn after this paint.
  bool prepareAfterPaint_ = false;
};

}  // namespace window
