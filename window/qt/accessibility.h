// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game as a screen reader finds it, through Qt's accessibility interfaces
// (AT-SPI on Linux).
//
// Only the frames and the buttons are widgets; everything else the player
// looks at is painted by the window. This presents those painted controls as
// accessible children of the window and of its frames:
//  - the money and prize fields as read-only text, named by their frames'
//    captions ("Деньги", "Выигрыш"), their text the fields' captions;
//  - each reel as a picture named by the symbol it shows, with the names the
//    prize table text gives the symbols, or as spinning ("Вращается", busy)
//    while the spin pictures show in its place;
//  - the labels with text (prize table, rules, credit line, welcome text) as
//    static text, the pictures with a short description;
//  - the coin slot as a button, enabled exactly while the slot is open, whose
//    press action is a mouse click on it: press, release and click, delivered
//    through the same road as the mouse's, so every rule of play holds.
// Only what a sighted player can see is presented: nothing hidden, nothing
// the welcome panel covers, nothing wholly beneath a label (the ten symbol
// pictures, the generator label). The win flash and the title strip blink
// over the reels and the title picture without taking them away: they leave
// the tree as it is, so that a reader is not flooded while they run.
//
// After every handler, while a reader listens, changed() compares what is
// presented with what was last told and sends the events a reader needs: a
// field's text removed and inserted, a reel's new name, the coin slot's
// state, and things appearing or leaving (the welcome panel going, the game
// beneath it coming into view).
// The keyboard focus is left to the two buttons; the one that has it is
// presented even beneath the welcome panel, saying so, since a key press
// still presses it.
//
// Screen readers present changes only of what has the focus, so the news a
// player must hear without asking (the money after a coin, the reels' stop,
// the prize, the money once the rings are counted, "Game Over!") goes out as
// a notification shown: a short text in the game's own words, the news of
// one moment gathered into one message.

#include <QAccessible>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <tuple>
#include <vector>

#include "game/form1.h"
#include "runtime/form.h"
#include "window/qt/form_window.h"

class QAccessibleInterface;

namespace window {

// The symbols' names as the prize table text gives them: the line
// "Изумруд Изумруд Изумруд = х500" names the symbol whose three of a kind pay
// 500 rings. A symbol the text does not name is called by its number.
std::array<QString, 10> symbolNames(std::string_view prizeTableText);

// A label's caption as a reader should say it: the runs of blanks that break
// the drawn text into lines become line breaks, and the blanks around each
// line go.
QString spokenText(std::string_view caption);

// What a player hears without asking comes from the money, the prize and
// the reels as presented before and after a handler.
struct Scene {
  bool shown = false;  // the money field is in view (no welcome panel)
  QString money, prize;
  std::array<QString, 3> reels;
  std::array<bool, 3> spinning{};
  bool operator==(const Scene&) const = default;
};
// The news between two scenes, each a phrase: the reels once the last one
// stops, a prize won, the money when it changed with no rings left to count
// (so a transfer is heard once, at its end), "Game Over!".
QStringList newsBetween(const Scene& was, const Scene& is);

class Accessibility final : public QObject, public QAccessible::ActivationObserver {
  Q_OBJECT

 public:
  // What the reader finds for one painted control (or, for a reel, for the
  // reel's place in the reel window).
  struct Item {
    enum class Kind : std::uint8_t { Field, Text, Picture, Reel, CoinSlot };
    Kind kind;
    rt::Control* control;  // the label or image; a reel's ImageNumber
    int reel = 0;          // 1 to 3 for a reel
    QString name;          // fields, pictures and the coin slot: a fixed name
    // The caption last put into words, and those words: the long texts are
    // not broken into lines again on every tick.
    mutable std::optional<std::string> spokenFrom{};
    mutable QString spoken{};
  };
  // What a reader was last told of an item.
  struct Told {
    bool shown = false;
    QString name, text;
    bool enabled = true, busy = false;
    bool operator==(const Told&) const = default;
  };

  // Makes Qt ask this class for the game window's interfaces. Must run before
  // the window is first shown to a reader; safe to call more than once.
  static void install();
  // The accessibility of the game shown in `window`, or nullptr.
  static Accessibility* of(const QWidget* window);

  Accessibility(FormWindow& window, game::Form1& form, FormWindow::Deliver deliver);
  ~Accessibility() override;

  // After a handler's changes have been applied to the window: tells the
  // readers what they changed in what is presented.
  void changed(std::span<const rt::Form::Change> changes);

  // Where the events go: by default to Qt, and only while a reader listens.
  // A watcher set here hears every one of them instead.
  using Listener = std::function<void(QAccessibleEvent* event)>;
  void setListener(Listener listener);

  // A reader switched Qt's accessibility on: what is presented now is what
  // it finds, and the changes from here on are told.
  void accessibilityActiveChanged(bool active) override;

  // Presses the coin slot as a mouse click would, if a player could: the slot
  // shows and is open. Returns whether the click was delivered.
  bool pressCoinSlot();

  // The accessible children of the window (`frame` nullptr) or of a frame, in
  // reading order: the game's column first, top to bottom, then the column of
  // the prize table and the pictures.
  std::vector<QAccessibleInterface*> children(const rt::Control* frame);
  // The interface of an item, made when first asked for.
  QAccessibleInterface* interfaceOf(const Item& item);

  // What an item presents now.
  Told now(const Item& item) const;
  const std::vector<Item>& items() const { return items_; }
  // The frame or button shown by `widget`, or nullptr.
  const rt::Control* controlOf(const QWidget* widget) const;
  FormWindow& window() const { return window_; }

  // The window's description: the welcome text while its panel shows, then
  // the keys.
  QString windowDescription() const;
  // The text an item offers a reader: a field's caption, a label's text, a
  // reel's symbol name padded to one width (a reader that keeps the extent
  // of an old text then still reads the whole new name).
  QString textOf(const Item& item) const;
  // The last news told, and how long news of one moment is gathered.
  const QString& news() const { return news_; }
  static constexpr int kNewsGatherMs = 120;

 private:
  // Finds, for every control, the controls above it that overlap it.
  void findCovers();
  // Whether any part of `control` is in view, leaving its own Visible aside:
  // every frame holding it shows, and what lies above it does not cover all
  // of it (frames and buttons lie above every painted control, and a label
  // is opaque).
  bool uncovered(const rt::Control& control) const;
  bool seen(const rt::Control& control) const { return control.visible() && uncovered(control); }
  bool seen(const Item& item) const;
  // The item's caption as it is spoken.
  const QString& spoken(const Item& item) const;
  // The symbol a reel shows: the one whose very picture it holds or, before
  // its first stop, the one its start copy looks like; -1 for none.
  int shownSymbol(const rt::Control& reel) const;
  // Reading order of a control in its container.
  std::tuple<int, int, int> readingKey(const rt::Control& control) const;
  // Nobody listens while Qt's accessibility is off, and nothing is compared
  // then: what is presented is remembered afresh when a listener comes.
  bool listening() const { return listener_ || QAccessible::isActive(); }
  void remember();
  void tell(const Item& item, const Told& was, const Told& is);
  void send(QAccessibleEvent& event);
  Scene scene() const;
  // Gathers the news since the last handler and tells it once the moment is
  // over.
  void gatherNews();
  void tellNews();
  // The buttons beneath the welcome panel say that a key still presses the
  // one with the focus.
  void describeButtons();

  FormWindow& window_;
  game::Form1& form_;
  FormWindow::Deliver deliver_;
  Listener listener_;
  std::array<QString, 10> symbolNames_;
  rt::Control* spinPicture1_ = nullptr;  // ImageRotate1, beneath ImageRotate2
  // The left edge of the right-hand column, where the prize table begins.
  int rightColumn_ = 0;
  std::vector<Item> items_;
  std::vector<Told> told_;            // by item
  std::vector<QAccessible::Id> ids_;  // by item; 0 until first asked for
  // Every control's rectangle in the window, and the controls that lie above
  // it and overlap it, by control index.
  std::vector<QRect> rects_;
  std::vector<std::vector<const rt::Control*>> covers_;
  // The frames and buttons, with whether each was last in view.
  std::vector<std::pair<rt::Control*, bool>> widgets_;
  // The news: what was last heard, the phrases waiting to be told, the
  // message told last and the notification that tells it.
  Scene heard_;
  QStringList pending_;
  QTimer newsTimer_;
  QString news_;
  QAccessible::Id newsId_ = 0;
  // The width a reel's text is padded to: its longest name.
  qsizetype reelWidth_ = 0;
};

}  // namespace window
