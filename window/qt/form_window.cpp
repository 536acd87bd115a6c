// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/form_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtMath>
#include <algorithm>

#include "window/qt/fonts.h"

namespace window {
namespace {

constexpr int px(int twips) {
  return twips / rt::kTwipsPerPixel;
}

// The screen pixels that window rectangle `r` covers under painter `p`, each
// edge on the nearest pixel boundary, so that side by side rectangles share
// their edges at any scale.
QRect screenPixels(const QTransform& toDevice, const QRect& r) {
  const QRectF d = toDevice.mapRect(QRectF(r));
  const QPoint topLeft(qRound(d.left()), qRound(d.top()));
  return QRect(topLeft, QPoint(qRound(d.right()), qRound(d.bottom())) - QPoint(1, 1));
}
QRect screenPixels(const QPainter& p, const QRect& r) {
  return screenPixels(p.deviceTransform(), r);
}

// Fills exactly the screen pixels of `r`, whatever the scale: a label, a line
// or an outline covers the very pixels a click on it lands on, and touching
// rectangles leave no gap nor overlap between them.
void fillPixels(QPainter& p, const QRect& r, const QColor& color) {
  p.fillRect(p.deviceTransform().inverted().mapRect(QRectF(screenPixels(p, r))), color);
}

QColor toColor(const rt::Rgb& c) {
  return QColor(c.r, c.g, c.b);
}

QString text(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

bool isWindowless(rt::Kind kind) {
  return kind == rt::Kind::Label || kind == rt::Kind::Image || kind == rt::Kind::Shape ||
         kind == rt::Kind::Line;
}

// An image showing a picture without transparency, which hides all beneath it.
bool opaquePicture(const rt::Control& c) {
  return c.kind() == rt::Kind::Image && c.picture() && PictureService::opaque(c.picture()->key());
}

// The colour the shape and the lines are drawn in.
const QColor kWindowText(0, 0, 0);

}  // namespace

// A frame: its fill, the etched border with the caption set into its top
// line, then its own windowless controls; its buttons are child widgets.
class FrameBox final : public QWidget {
 public:
  FrameBox(FormWindow& window, const rt::Control& frame, QWidget* parent)
      : QWidget(parent), window_(window), frame_(frame) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter p(this);
    const rt::ControlSpec& stored = frame_.stored();
    const QColor back =
        stored.backColor ? toColor(*stored.backColor) : palette().color(QPalette::Button);
    // The ground only where no label fills it: the welcome panel's text
    // covers nearly all of it.
    const FormWindow::Showing showing = window_.showing(&frame_, event->region());
    for (const QRect& r : showing.ground) p.fillRect(r, back);

    const QFont font = gameFont(stored.font, window_.form_.stored().font);
    const QFontMetrics fm(font);
    // The border runs through the middle of the caption's line.
    const int top = fm.height() / 2;
    const QRect border = rect().adjusted(0, top, -1, -1);
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(border.translated(1, 1));
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(border);

    const QString caption = text(frame_.caption());
    if (!caption.isEmpty()) {
      constexpr int kCaptionLeft = 8;
      const QRect captionRect(kCaptionLeft, 0, fm.horizontalAdvance(caption) + 4, fm.height());
      p.fillRect(captionRect, back);
      p.setFont(font);
      p.setPen(palette().color(QPalette::ButtonText));
      p.drawText(captionRect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, caption);
    }
    window_.paintWindowless(p, showing);
  }

  // The frame is the topmost thing under the pointer here: nothing beneath
  // it may see the mouse, and nothing in it (but its buttons) answers.
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override { e->accept(); }
  void mouseDoubleClickEvent(QMouseEvent* e) override { e->accept(); }

 private:
  FormWindow& window_;
  const rt::Control& frame_;
};

namespace {

// A command button: the system's push button, with a caption that wraps onto
// several lines when it is wider than the button, pressed by Space or Enter
// when it has the focus.
class FormButton final : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    p.setFont(font());
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(contents, Qt::AlignCenter | Qt::TextWordWrap, text());
    if (hasFocus()) {
      QStyleOptionFocusRect focus;
      focus.initFrom(this);
      focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
  }

  void keyPressEvent(QKeyEvent* e) override {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !e->isAutoRepeat()) {
      click();
      return;
    }
    QPushButton::keyPressEvent(e);
  }
};

}  // namespace

FormWindow::FormWindow(rt::Form& form, PictureService& pictures, Deliver deliver, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      form_(form),
      pictures_(pictures),
      deliver_(std::move(deliver)) {
  const rt::FormSpec& stored = form.stored();
  setWindowTitle(
      QString::fromUtf8(stored.caption.data(), static_cast<qsizetype>(stored.caption.size())));
  setFixedSize(px(stored.clientWidth), px(stored.clientHeight));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  setFont(gameFont(stored.font, stored.font));

  addFrames();
  addButtons();
  for (rt::Control& c : form.controls())
    if (isWindowless(c.kind())) windowless_[c.container()].push_back(&c);
  // The description lists each container's controls top first.
  for (auto& [container, controls] : windowless_) std::reverse(controls.begin(), controls.end());
  stackWidgets();
  // The pointers are drawn, at the screen's scale, once the first frame is
  // out (adoptScale).
}

void FormWindow::addFrames() {
  // Frames before buttons, so that the buttons inside them find their parent.
  for (rt::Control& c : form_.controls()) {
    if (c.kind() != rt::Kind::Frame) continue;
    auto* box = new FrameBox(*this, c, this);
    box->setGeometry(localRect(c));
    box->setVisible(c.visible());
    widgets_[&c] = box;
    if (!c.container()) windowFrames_.push_back(box);
  }
}

void FormWindow::addButtons() {
  std::vector<std::pair<int, QWidget*>> buttons;
  for (rt::Control& c : form_.controls()) {
    if (c.kind() != rt::Kind::CommandButton) continue;
    QWidget* parentWidget = c.container() ? widgets_.at(c.container()) : this;
    auto* button = new FormButton(text(c.caption()), parentWidget);
    button->setFont(gameFont(c.stored().font, form_.stored().font));
    button->setGeometry(localRect(c));
    button->setFocusPolicy(Qt::StrongFocus);
    button->setAutoDefault(false);
    button->setVisible(c.visible());
    button->setEnabled(c.enabled());
    rt::Control* control = &c;
    connect(button, &QPushButton::clicked, this,
            [this, control] { deliver_(*control, rt::Event::Click); });
    widgets_[&c] = button;
    buttons.emplace_back(c.stored().tabIndex, button);
  }
  // The keyboard focus goes from button to button in their tab order.
  std::stable_sort(buttons.begin(), buttons.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [tab, button] : buttons) buttonsByTab_.push_back(button);
  for (std::size_t i = 1; i < buttonsByTab_.size(); ++i)
    setTabOrder(buttonsByTab_[i - 1], buttonsByTab_[i]);
}

void FormWindow::stackWidgets() {
  // The frames and buttons lying on the window, in the description's order
  // (top first), raised bottom first so that the top one ends up on top.
  std::vector<QWidget*> topFirst;
  for (rt::Control& c : form_.controls()) {
    const bool widget = c.kind() == rt::Kind::Frame || c.kind() == rt::Kind::CommandButton;
    if (widget && !c.container()) topFirst.push_back(widgets_.at(&c));
  }
  for (auto it = topFirst.rbegin(); it != topFirst.rend(); ++it) (*it)->raise();
}

FormWindow::~FormWindow() = default;

QRect FormWindow::localRect(const rt::Control& c) const {
  const rt::ControlSpec& s = c.stored();
  if (s.kind == rt::Kind::Line) {
    const QPoint a(px(s.left), px(s.top));
    const QPoint b(px(s.width), px(s.height));
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
  }
  return QRect(px(s.left), px(s.top), px(s.width), px(s.height));
}

QRect FormWindow::windowRect(const rt::Control& control) const {
  QRect r = localRect(control);
  for (const rt::Control* c = control.container(); c != nullptr; c = c->container())
    r.translate(localRect(*c).topLeft());
  return r;
}

QWidget* FormWindow::widgetOf(const rt::Control& control) const {
  auto it = widgets_.find(&control);
  return it == widgets_.end() ? nullptr : it->second;
}

void FormWindow::focusFirstButton() {
  if (!buttonsByTab_.empty()) buttonsByTab_.front()->setFocus(Qt::OtherFocusReason);
}

QRegion FormWindow::takePaintedRegion() {
  return std::exchange(painted_, QRegion());
}

void FormWindow::paintEvent(QPaintEvent* event) {
  painted_ += event->region();
  // The first paint at a scale (at start, or on a screen of another scale)
  // sets the pointers at that scale and has the pictures drawn for it.
  if (const qreal dpr = devicePixelRatioF(); dpr != preparedScale_) {
    preparedScale_ = dpr;
    prepareAfterPaint_ = false;
    QTimer::singleShot(0, this, [this, dpr] { adoptScale(dpr); });
  } else if (std::exchange(prepareAfterPaint_, false)) {
    QTimer::singleShot(0, this, [this] { prepareFor(preparedScale_); });
  }
  // A frame paints every pixel of its rectangle, so nothing beneath a shown
  // one is drawn: at start the welcome panel hides the whole window, and the
  // pictures under it are only drawn ahead, off the paint (adoptScale).
  QRegion dirty = event->region();
  for (const QWidget* frame : windowFrames_)
    if (frame->isVisible()) dirty -= frame->geometry();
  if (dirty.isEmpty()) return;
  QPainter p(this);
  p.setClipRegion(dirty);
  const Showing shown = showing(nullptr, dirty);
  for (const QRect& r : shown.ground) p.fillRect(r, toColor(form_.stored().backColor));
  paintWindowless(p, shown);
}

FormWindow::Showing FormWindow::showing(const rt::Control* container, const QRegion& dirty) const {
  Showing s{{}, dirty};
  auto it = windowless_.find(container);
  if (it == windowless_.end()) return s;
  // Top first, find what shows: a label fills all of its rectangle, and so
  // does an opaque picture, so what lies wholly beneath them is not drawn,
  // like the ten symbol pictures under Label5 or the spin pictures under the
  // reels. The pictures for the moment a coin hides the reels are drawn
  // ahead (picturesToPrepare), not by painting them unseen.
  for (auto c = it->second.rbegin(); c != it->second.rend() && !s.ground.isEmpty(); ++c) {
    if (!(*c)->visible()) continue;
    const QRect r = localRect(**c);
    if (!s.ground.intersects(r)) continue;
    s.controls.push_back(*c);
    if ((*c)->kind() == rt::Kind::Label || opaquePicture(**c)) s.ground -= r;
  }
  return s;
}

void FormWindow::paintWindowless(QPainter& p, const Showing& showing) {
  for (auto c = showing.controls.rbegin(); c != showing.controls.rend(); ++c) {
    const rt::Control* control = *c;
    const QRect r = localRect(*control);
    const rt::ControlSpec& s = control->stored();
    switch (s.kind) {
      case rt::Kind::Label: {
        fillPixels(p, r, s.backColor ? toColor(*s.backColor) : palette().color(QPalette::Button));
        const QColor fore =
            s.foreColor ? toColor(*s.foreColor) : palette().color(QPalette::ButtonText);
        drawWrapped(p, r, text(control->caption()), gameFont(s.font, form_.stored().font), fore);
        break;
      }
      case rt::Kind::Image:
        if (control->picture()) {
          // Drawn at the screen's own pixels: the picture is made at the size
          // its rectangle covers there, and laid on exactly those pixels.
          const QRect screen = screenPixels(p, r);
          const qreal dpr = p.device()->devicePixelRatioF();
          const QPointF at = p.deviceTransform().inverted().map(QPointF(screen.topLeft()));
          p.drawPixmap(at, pictures_.scaled(*control->picture(), screen.size(), dpr));
        }
        break;
      case rt::Kind::Shape:
        // A one-pixel outline, as thick as a window pixel on the screen.
        fillPixels(p, QRect(r.left(), r.top(), r.width(), 1), kWindowText);
        fillPixels(p, QRect(r.left(), r.bottom(), r.width(), 1), kWindowText);
        fillPixels(p, QRect(r.left(), r.top(), 1, r.height()), kWindowText);
        fillPixels(p, QRect(r.right(), r.top(), 1, r.height()), kWindowText);
        break;
      case rt::Kind::Line: {
        // Both ends included, each window pixel of the line laid on the
        // screen pixels it covers: the coin slot's bevel keeps its width at
        // any scale and ends on the plate's last pixels.
        const QPoint a(px(s.left), px(s.top)), b(px(s.width), px(s.height));
        const int steps = std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
        for (int i = 0; i <= steps; ++i) {
          const int x = a.x() + (steps ? (b.x() - a.x()) * i / steps : 0);
          const int y = a.y() + (steps ? (b.y() - a.y()) * i / steps : 0);
          fillPixels(p, QRect(x, y, 1, 1), kWindowText);
        }
        break;
      }
      default:
        break;
    }
  }
}

rt::Control* FormWindow::windowlessAt(QPointF pos) const {
  auto it = windowless_.find(nullptr);
  if (it == windowless_.end()) return nullptr;
  // The screen pixel under the pointer, from its exact position, against the
  // screen pixels each control is painted on.
  const qreal dpr = devicePixelRatioF();
  const QTransform toDevice = QTransform::fromScale(dpr, dpr);
  constexpr qreal kEpsilon = 1e-6;  // a pixel's own edge, despite rounding
  const QPoint device(qFloor(pos.x() * dpr + kEpsilon), qFloor(pos.y() * dpr + kEpsilon));
  for (auto c = it->second.rbegin(); c != it->second.rend(); ++c) {
    // The shape and the lines are mere drawing: the mouse passes through them.
    const rt::Kind kind = (*c)->kind();
    if (kind != rt::Kind::Label && kind != rt::Kind::Image) continue;
    if ((*c)->visible() && screenPixels(toDevice, localRect(**c)).contains(device)) return *c;
  }
  return nullptr;
}

QWidget* FormWindow::buttonAt(QPointF pos) const {
  const qreal dpr = devicePixelRatioF();
  const QTransform toDevice = QTransform::fromScale(dpr, dpr);
  constexpr qreal kEpsilon = 1e-6;
  const QPoint device(qFloor(pos.x() * dpr + kEpsilon), qFloor(pos.y() * dpr + kEpsilon));
  for (QWidget* button : buttonsByTab_)
    if (button->parentWidget() == this && button->isVisible() && button->isEnabled() &&
        screenPixels(toDevice, button->geometry()).contains(device))
      return button;
  return nullptr;
}

void FormWindow::forwardTo(QWidget* button, QMouseEvent* event) {
  // Within the button, on its pixel nearest the pointer.
  const QPointF local = button->mapFrom(this, event->position());
  const QPointF inside(std::clamp(local.x(), 0.0, button->width() - 1.0),
                       std::clamp(local.y(), 0.0, button->height() - 1.0));
  QMouseEvent forwarded(event->type(), inside, button->mapToGlobal(inside), event->button(),
                        event->buttons(), event->modifiers());
  QApplication::sendEvent(button, &forwarded);
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
  if (QWidget* button = buttonAt(event->position())) {
    pressedButton_ = button;
    forwardTo(button, event);
    return;
  }
  mousePos_ = event->position();
  rt::Control* hit = windowlessAt(event->position());
  // A disabled control takes no mouse input at all.
  if (hit == nullptr || !hit->enabled()) return;
  pressed_ = hit;
  deliver_(*hit, rt::Event::MouseDown);
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (QWidget* button = std::exchange(pressedButton_, nullptr)) {
    forwardTo(button, event);
    return;
  }
  mousePos_ = event->position();
  rt::Control* pressed = std::exchange(pressed_, nullptr);
  if (pressed == nullptr) return;
  // The control pressed sees its release wherever it happens; a click needs
  // the release over the same control.
  deliver_(*pressed, rt::Event::MouseUp);
  if (event->button() == Qt::LeftButton && windowlessAt(event->position()) == pressed)
    deliver_(*pressed, rt::Event::Click);
}

void FormWindow::setKeyClick(IsKey isKey, rt::Control& control) {
  clickKey_ = isKey;
  clickKeyControl_ = &control;
}

bool FormWindow::clickCentre(rt::Control& control) {
  // The key takes the mouse's road: the click lands on whatever lies at the
  // control's centre, and only the control itself, open, answers.
  const QPoint at = windowRect(control).center();
  if (control.container() != nullptr || childAt(at) != nullptr || windowlessAt(at) != &control ||
      !control.enabled() || pressed_ != nullptr)
    return false;
  deliver_(control, rt::Event::MouseDown);
  deliver_(control, rt::Event::MouseUp);
  if (windowlessAt(at) == &control) deliver_(control, rt::Event::Click);
  return true;
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  // A focused button passes on the keys it does not use; held down, the key
  // repeats nothing, as a mouse button does not.
  if (clickKey_ && clickKey_(event->key(), event->modifiers())) {
    event->accept();
    if (!event->isAutoRepeat()) clickCentre(*clickKeyControl_);
    return;
  }
  QWidget::keyPressEvent(event);
}

void FormWindow::mouseMoveEvent(QMouseEvent* event) {
  mousePos_ = event->position();
  updatePointer(mousePos_);
}

void FormWindow::leaveEvent(QEvent*) {
  mousePos_ = QPointF(-1, -1);
}

void FormWindow::adoptScale(qreal dpr) {
  if (dpr != pointerScale_) {
    pointerScale_ = dpr;
    for (auto& [control, widget] : widgets_) {
      const rt::Picture* pointer =
          control->kind() == rt::Kind::Frame ? form_.mouseIcon().get() : control->mouseIcon().get();
      if (pointer) widget->setCursor(pictures_.cursor(*pointer, dpr));
    }
    updatePointer(mousePos_, true);
  }
  // The icon is drawn once the window shows, so that the first frame waits
  // for nothing it does not show.
  if (form_.icon()) setWindowIcon(pictures_.icon(dpr));
  prepareFor(dpr);
}

bool FormWindow::framesCoverPictures() const {
  // The money, winnings and rules frames lie beside the pictures; the
  // welcome panel over them.
  for (const QWidget* frame : windowFrames_) {
    if (!frame->isVisible()) continue;
    for (const rt::Control& c : form_.controls())
      if (c.kind() == rt::Kind::Image && frame->geometry().intersects(windowRect(c))) return true;
  }
  return false;
}

void FormWindow::prepareFor(qreal dpr) {
  // While a frame lies over the pictures (the welcome panel), only what
  // shows the moment it goes; once it has gone, everything else.
  pictures_.prepare(picturesToPrepare(dpr, !framesCoverPictures()));
}

std::vector<PictureService::Wanted> FormWindow::picturesToPrepare(qreal dpr, bool all) const {
  // The images in the order they show: those in view once the frames over
  // the window are gone, top of the stacking order first; then those wholly
  // beneath other images (shown when these are hidden); then the hidden ones.
  // Images wholly beneath labels never show.
  enum Rank { InView, Beneath, Hidden };
  std::vector<std::pair<Rank, const rt::Control*>> images;
  for (const auto& [container, controls] : windowless_) {
    QRegion labels, covered;
    for (auto c = controls.rbegin(); c != controls.rend(); ++c) {
      const rt::Control& control = **c;
      const QRegion r(localRect(control));
      const bool image = control.kind() == rt::Kind::Image && control.picture();
      if (image && !(r - labels).isEmpty())
        images.emplace_back(!control.visible()        ? Hidden
                            : (r - covered).isEmpty() ? Beneath
                                                      : InView,
                            &control);
      if (!control.visible()) continue;
      if (control.kind() == rt::Kind::Label) labels += r;
      if (control.kind() == rt::Kind::Label || image) covered += r;
    }
  }
  std::stable_sort(images.begin(), images.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });

  const QTransform toScreen = QTransform::fromScale(dpr, dpr);
  auto screenSize = [&](const rt::Control& c) {
    const QRectF d = toScreen.mapRect(QRectF(windowRect(c)));
    return QSize(qRound(d.right()) - qRound(d.left()), qRound(d.bottom()) - qRound(d.top()));
  };
  std::vector<PictureService::Wanted> wanted;
  auto add = [&](const rt::Picture& picture, QSize size) {
    PictureService::Wanted w{std::string(picture.key()), size};
    if (std::find(wanted.begin(), wanted.end(), w) == wanted.end()) wanted.push_back(w);
  };
  auto storedSize = [](const rt::Picture& picture) {
    const assets::ArtInfo* a = PictureService::info(picture.key());
    return a ? QSize(a->width, a->height) : QSize();
  };
  for (const auto& [rank, image] : images)
    if (rank != Hidden && (rank == InView || all)) add(*image->picture(), screenSize(*image));
  if (!all) return wanted;
  // Then the pictures the handlers may hand to an image in view: any picture
  // of the same stored size (a reel takes a symbol's picture); the hidden
  // images' own last, as they show only after those.
  for (const auto& [rank, image] : images)
    if (rank == InView)
      for (const rt::Control& holder : form_.controls())
        if (holder.kind() == rt::Kind::Image && holder.picture() &&
            storedSize(*holder.picture()) == storedSize(*image->picture()))
          add(*holder.picture(), screenSize(*image));
  for (const auto& [rank, image] : images)
    if (rank == Hidden) add(*image->picture(), screenSize(*image));
  return wanted;
}

void FormWindow::updatePointer(QPointF pos, bool force) {
  if (pointerScale_ == 0) return;  // not yet: adoptScale() sets them all
  rt::Control* hit = windowlessAt(pos);
  const rt::Picture* pointer = form_.mouseIcon().get();
  if (hit != nullptr && hit->enabled() && hit->mouseIcon()) pointer = hit->mouseIcon().get();
  if (pointer == pointerShown_ && !force) return;
  pointerShown_ = pointer;
  setCursor(pointer ? pictures_.cursor(*pointer, pointerScale_) : QCursor(Qt::ArrowCursor));
}

QRegion FormWindow::applyChanges(std::span<const rt::Form::Change> changes) {
  QRegion repainted;
  bool pointerAffected = false;
  bool pointerReapplied = false;
  for (const rt::Form::Change& change : changes) {
    const rt::Control& c = *change.control;
    if (c.kind() == rt::Kind::Timer) continue;
    if (QWidget* w = widgetOf(c)) {
      // A frame or button shown, hidden, dimmed or relabelled.
      if (change.properties & (rt::kVisible | rt::kEnabled | rt::kCaption))
        repainted += windowRect(c);
      if (change.properties & rt::kVisible) {
        w->setVisible(c.visible());
        // A frame gone from over the window shows what lay beneath it: the
        // rest of the pictures are drawn once the frame that shows it is out.
        if (!c.visible() && c.kind() == rt::Kind::Frame && !c.container())
          prepareAfterPaint_ = true;
      }
      if (change.properties & rt::kEnabled) w->setEnabled(c.enabled());
      if (change.properties & rt::kCaption) {
        if (auto* button = qobject_cast<QPushButton*>(w)) {
          button->setText(text(c.caption()));
        } else {
          w->update();
        }
      }
      if ((change.properties & rt::kMouseIcon) && c.mouseIcon() && pointerScale_ != 0)
        w->setCursor(pictures_.cursor(*c.mouseIcon(), pointerScale_));
      continue;
    }
    // A windowless control drawn otherwise.
    constexpr std::uint8_t kDrawn = rt::kVisible | rt::kCaption | rt::kPicture;
    if (change.properties & kDrawn) {
      QWidget* surface = c.container() ? widgetOf(*c.container()) : this;
      if (surface) surface->update(localRect(c));
      repainted += windowRect(c);
    }
    if (change.properties & (rt::kVisible | rt::kEnabled | rt::kMouseIcon)) pointerAffected = true;
    if (change.properties & rt::kMouseIcon) pointerReapplied = true;
  }
  if (pointerAffected) updatePointer(mousePos_, pointerReapplied);
  return repainted;
}

void FormWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

}  // namespace window
