// SPDX-License-Identifier: GPL-3.0-or-later
// The player's inputs: each one's control and event, read back from the
// event, and where the welcome panel lets it through.
#include "game/input.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <utility>

#include "game_test_support.h"

namespace {

using game::Input;
using testing_support::LoadedGame;

TEST(Input, EachIsReadBackFromItsNameAndFromItsControlsEvent) {
  // Every input is told apart by its script word and by the control and event
  // it is delivered as, so that a recording replays as it was played.
  LoadedGame g;
  std::set<std::string_view> names;
  std::set<std::pair<const rt::Control*, rt::Event>> deliveries;
  for (const Input input : game::kInputs) {
    const std::string_view name = game::inputName(input);
    EXPECT_EQ(input, game::inputNamed(name)) << name;
    rt::Control& control = game::controlOf(g.f, input);
    EXPECT_EQ(input, game::inputOf(g.f, control, game::eventOf(input))) << name;
    names.insert(name);
    deliveries.insert({&control, game::eventOf(input)});
  }
  EXPECT_EQ(game::kInputs.size(), names.size());
  EXPECT_EQ(game::kInputs.size(), deliveries.size());
  // The coin is the slot's click: a press and a release on it are inputs of
  // their own, and the click alone puts a coin in.
  EXPECT_EQ(Input::Coin, game::inputOf(g.f, g.f.LabelInsertCoin, rt::Event::Click));
}

TEST(Input, EventsNoInputMakesAreReadAsNone) {
  LoadedGame g;
  EXPECT_EQ(std::nullopt, game::inputNamed("show"));
  EXPECT_EQ(std::nullopt, game::inputNamed("Coin"));
  EXPECT_EQ(std::nullopt, game::inputOf(g.f, g.f.Timer2, rt::Event::Timer));
  EXPECT_EQ(std::nullopt, game::inputOf(g.f, g.f.ImageNumber1, rt::Event::Click));
  EXPECT_EQ(std::nullopt, game::inputOf(g.f, g.f.Command1, rt::Event::MouseDown));
}

TEST(Input, TheWelcomePanelCoversTheCoinSlotButNotTheKeyboard) {
  LoadedGame g;
  ASSERT_TRUE(g.f.Frame4.visible());
  const bool underPanel[] = {false, false, false, true, true};  // in kInputs order
  const bool afterPanel[] = {true, true, true, true, false};
  for (std::size_t i = 0; i < game::kInputs.size(); ++i) {
    EXPECT_EQ(underPanel[i], game::reachable(g.f, game::kInputs[i])) << i;
  }
  g.click(g.f.Command2);
  ASSERT_FALSE(g.f.Frame4.visible());
  for (std::size_t i = 0; i < game::kInputs.size(); ++i) {
    EXPECT_EQ(afterPanel[i], game::reachable(g.f, game::kInputs[i])) << i;
  }
}

}  // namespace
