// SPDX-License-Identifier: GPL-3.0-or-later
// The recording and the trace under what a careless or hostile user does to
// them: signals, a full disk, a reader that goes away, planted links, one
// path for both, a FIFO nobody reads. Each case runs the program in a folder
// of its own and looks at its status, its messages and the files it left.
#include "window/qt/session_files.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Outcome {
  int status;  // as a shell reports it: 128 + N after signal N
  std::string err;
};

Outcome inFolder(const std::string& name, const std::string& script) {
  const std::filesystem::path dir = testing::TempDir() + "zarnovik_files_" + name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  // The game plays a fixed seed without a display; `started` waits until its
  // recording has begun (the start is over, the signals are caught).
  const std::string prelude = std::string("set -u; cd '") + dir.string() + "'; APP='" +
                              ZRNV_APP_PATH + "'; SIM='" + ZRNV_SIM_PATH +
                              "'; export QT_QPA_PLATFORM=offscreen ZRNV_SEED=15;"
                              " started() { for i in $(seq 300); do [ -s \"$1\" ] && break;"
                              " sleep 0.1; done; sleep 1; };"
                              " replays() { tail -n 1 \"$1\" | grep -q '^# complete: ' &&"
                              " { cat \"$1\"; echo show; } | \"$SIM\" |"
                              " cmp -s - <(tail -n 1 \"$1\" | cut -c 13-); };";
  setenv("ZRNV_TEST_SCRIPT", (prelude + script).c_str(), 1);
  const std::string command =
      "timeout 120 bash -c \"$ZRNV_TEST_SCRIPT\" 2>'" + (dir / "stderr").string() + "'";
  const int raw = std::system(command.c_str());
  std::ifstream errFile(dir / "stderr");
  std::stringstream err;
  err << errFile.rdbuf();
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, err.str()};
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(SessionFiles, NothingLostNothingHung) {
  struct Case {
    const char* name;
    const char* script;  // its last command's status is the case's
    int status;
    const char* message;  // told exactly once; "" for no message at all
  };
  const Case cases[] = {
      // Each signal that ends a game: the recording is complete and replays
      // to the state it ends with; the status is the signal's.
      {"term", "ZRNV_RECORD=r $APP & started r; kill -TERM $!; wait $!; s=$?; replays r && exit $s",
       143, ""},
      {"int", "ZRNV_RECORD=r $APP & started r; kill -INT $!; wait $!; s=$?; replays r && exit $s",
       130, ""},
      {"hup", "ZRNV_RECORD=r $APP & started r; kill -HUP $!; wait $!; s=$?; replays r && exit $s",
       129, ""},
      {"quit",
       "ulimit -c 0; ZRNV_RECORD=r $APP & started r; kill -QUIT $!; wait $!; s=$?;"
       " replays r && exit $s",
       131, ""},
      // The display lost: the toolkit ends the program with status 1, and
      // the recording is complete all the same.
      {"display",
       "Xvfb -displayfd 3 -nolisten tcp 3>d 2>/dev/null & x=$!; started d;"
       " DISPLAY=:$(cat d) QT_QPA_PLATFORM=xcb ZRNV_RECORD=r $APP & started r; kill $x;"
       " wait $!; s=$?; replays r && exit $s",
       1, ""},
      // A full disk: told once, and the game plays on to the signal.
      {"full",
       "ZRNV_TRACE=/dev/full ZRNV_RECORD=r $APP & started r; kill -TERM $!; wait $!; s=$?;"
       " replays r && exit $s",
       143, "cannot write the trace \"/dev/full\": No space left on device"},
      // A reader that goes away is a write error, not SIGPIPE's end (141).
      {"pipe",
       "ZRNV_RECORD=r ZRNV_TRACE=>(head -c 10 >/dev/null) $APP & started r; sleep 1;"
       " kill -TERM $!; wait $!",
       143, "cannot write the trace \"/dev/fd/"},
      // A descriptor the program is given is written, not emptied.
      {"given",
       "echo kept >log; ZRNV_RECORD=/dev/stdout $APP >>log & started log; kill -TERM $!;"
       " wait $!; s=$?; tail -n +2 log >r; head -n 1 log | grep -qx kept && replays r && exit $s",
       143, ""},
      // A planted link is not followed and its target is kept.
      {"link",
       "echo kept >target; ln -s target r; ZRNV_RECORD=r $APP; s=$?; grep -qx kept target && exit "
       "$s",
       2, "cannot write the recording \"r\": it is a symbolic link"},
      // One file for both, by two names.
      {"same", "ZRNV_RECORD=r ZRNV_TRACE=./r $APP", 2,
       "the recording and the trace cannot be one file"},
      // A FIFO with no reader is refused at once, not waited on.
      {"fifo", "mkfifo f; timeout 20 env ZRNV_TRACE=f $APP", 2,
       "cannot write the trace \"f\": it is a FIFO that no program reads"},
      // A start that fails on one file leaves the other as it was.
      {"earlier",
       "echo earlier >t; ZRNV_TRACE=t ZRNV_RECORD=no/such/r $APP; s=$?; grep -qx earlier t && exit "
       "$s",
       2, "cannot write the recording \"no/such/r\": No such file or directory"},
      // ... and a file it created for the first is removed again.
      {"created", "ZRNV_RECORD=new ZRNV_TRACE=no/such/t $APP; s=$?; [ ! -e new ] && exit $s", 2,
       "cannot write the trace \"no/such/t\": No such file or directory"},
  };
  for (const Case& c : cases) {
    const Outcome r = inFolder(c.name, c.script);
    EXPECT_EQ(c.status, r.status) << c.name << ": " << r.err;
    if (*c.message != '\0') {
      EXPECT_EQ(1u, count(r.err, c.message)) << c.name << ": " << r.err;
    } else {
      EXPECT_EQ(0u, count(r.err, "zarnovik:")) << c.name << ": " << r.err;
    }
  }
}

TEST(SessionFiles, AFileNotWrittenInFullEndsAGoodGameWithStatusTwo) {
  struct Case {
    const char* path;
    int game;  // the game's own status
    int status;
  };
  const Case cases[] = {{"/dev/full", 0, 2}, {"/dev/full", 3, 3}, {"/dev/null", 0, 0}};
  for (const Case& c : cases) {
    std::string error;
    auto files = window::SessionFiles::open(c.path, nullptr, error);
    ASSERT_TRUE(files) << error;
    *files->recording() << "seed 1\n" << std::flush;
    EXPECT_EQ(c.status, files->end(c.game)) << c.path << " " << c.game;
  }
}

}  // namespace
