// SPDX-License-Identifier: GPL-3.0-or-later
// The player's inputs: each one's control and event, read back from the
// event, and where the welcome panel lets it through.
#include "game/input.h"

#include <gtest/gtest.h>

#include "game_test_support.h"

namespace {

using game::Input;
using testing_support::LoadedGame;

TEST(Input, EachGoesToItsControlAndIsReadBackFromItsEvent) {
  struct Case {
    Input input;
    const char* name;
    const char* control;
    rt::Event event;
  };
  const Case cases[] = {
      {Input::Coin, "coin", "LabelInsertCoin", rt::Event::Click},
      {Input::Press, "press", "LabelInsertCoin", rt::Event::MouseDown},
      {Input::Release, "release", "LabelInsertCoin", rt::Event::MouseUp},
      {Input::NewGame, "newgame", "Command1", rt::Event::Click},
      {Input::Welcome, "welcome", "Command2", rt::Event::Click},
  };
  ASSERT_EQ(std::size(cases), game::kInputs.size());
  LoadedGame g;
  for (const Case& c : cases) {
    EXPECT_EQ(c.name, game::inputName(c.input));
    EXPECT_EQ(c.input, game::inputNamed(c.name)) << c.name;
    rt::Control& control = game::controlOf(g.f, c.input);
    EXPECT_EQ(c.control, control.name()) << c.name;
    EXPECT_EQ(c.event, game::eventOf(c.input)) << c.name;
    EXPECT_EQ(c.input, game::inputOf(g.f, control, c.event)) << c.name;
  }
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
