// tarvex-sim as a command: its options, its errors, the files it writes, and
// a saved scenario that flies on.
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Result {
  int code = -1;
  std::string out, err;
};

std::string Slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream os;
  os << in.rdbuf();
  return os.str();
}

void Write(const std::string &path, const std::string &text) { std::ofstream(path, std::ios::binary) << text; }

Result Sim(const std::string &args) {
  std::string cmd = std::string(TARVEX_SIM_PATH) + " " + args + " >sim.out 2>sim.err";
  int status = std::system(cmd.c_str());
  Result r;
#if defined(_WIN32)
  r.code = status;
#else
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  r.out = Slurp("sim.out");
  r.err = Slurp("sim.err");
  return r;
}

bool Has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// Each test works in a folder of its own, so tests running side by side do
// not share files.
class SimCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string dir = std::string("sim_command/") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
  }
};

const char *kFalling =
    "BEGIN_SHIPS\n"
    "Tarvex1:Tarvex\n"
    "  STATUS Flying\n"
    "  ALT 500\n"
    "  AIRSPEED 0\n"
    "END\n"
    "END_SHIPS\n";

TEST_F(SimCommand, OptionAndInputErrorsAreClearAndNothingFlies) {
  Write("bad_script.scn",
        std::string(kFalling) + "BEGIN_SCRIPT\n1 key E\n2 set main 3\n3 expect alt > 1\nEND_SCRIPT\n");
  Write("no_ships.scn", "BEGIN_DESC\nnothing\nEND_DESC\n");
  Write("two_focus.scn", std::string(kFalling) + "BEGIN_SCRIPT\n1 expect Ghost.alt > 1\nEND_SCRIPT\n");
  struct Row {
    std::string args;
    int code;
    const char *message;
    const char *what;
    // clang-format off
  } rows[] = {
      {"--bogus", 2, "tarvex-sim: unknown option --bogus", "unknown option"},
      {"missing.scn", 2, "cannot read missing.scn", "missing scenario file"},
      {"bad_script.scn --no-sound", 2, "bad_script.scn:10: expected a level from 0 to 1 for main", "malformed script line with file and line, before anything flies"},
      {"no_ships.scn --no-sound", 2, "expected at least one vessel block", "scenario without vessels"},
      {"two_focus.scn --no-sound", 2, "two_focus.scn:9: expected the name of a vessel of the scenario", "expectation on an unknown vessel"},
      {"--module ./nowhere.so --no-sound", 3, "cannot load module ./nowhere.so", "module that does not load"},
      {std::string("--module ") + TARVEX_BINARY_DIR + "/bin/libtarvexhost.so --no-sound", 3, "has no ovcInit export", "library that is not a vessel module"},
      {"--script missing.txt --no-sound", 2, "cannot read missing.txt", "missing script file"},
  };
  // clang-format on
  for (const Row &r : rows) {
    Result res = Sim(r.args);
    EXPECT_EQ(res.code, r.code) << r.what << "\n" << res.err;
    EXPECT_TRUE(Has(res.err, r.message)) << r.what << "\n" << res.err;
    EXPECT_FALSE(Has(res.out, "t(s)")) << r.what << ": no telemetry table, nothing flown";
  }
}

TEST_F(SimCommand, HelpListsTheOptions) {
  Result r = Sim("--help");
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(Has(r.out, "usage: tarvex-sim [SCENARIO]"));
  EXPECT_TRUE(Has(r.out, "--plot FILE.svg"));
}

TEST_F(SimCommand, FailedExpectationsGiveLineActualValueAndExitStatus) {
  Write("expect.scn", std::string(kFalling) +
                          "BEGIN_SCRIPT\n"
                          "0.5 expect alt > 600\n"
                          "0.5 expect alt < 600\n"
                          "1 expect sound 6 playing\n"
                          "9 expect ground == 0\n"
                          "END_SCRIPT\n");
  Result r = Sim("expect.scn --no-sound --duration 2");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "expect.scn:9: expectation failed at t=0.500 s: 0.5 expect alt > 600 (actual 498.7")) << r.err;
  EXPECT_FALSE(Has(r.err, "expect.scn:10:")) << "the expectation that holds is not reported";
  EXPECT_TRUE(
      Has(r.err, "expect.scn:11: expectation failed at t=1.000 s: 1 expect sound 6 playing (actual no sound service)"))
      << r.err;
  EXPECT_TRUE(Has(r.err, "expect.scn:12: expectation not reached: the run ended at t=2.000 s")) << r.err;
  EXPECT_TRUE(Has(r.out, "expectations: 1 passed, 3 failed")) << r.out;
}

// The HUD is drawn only when looked at, yet every look sees what the screen
// showed: the picture of the last step, or the last one before it went out of view.
TEST_F(SimCommand, HudExpectationsSeeTheLastPictureShown) {
  Write("hud.scn", std::string(kFalling) +
                       "BEGIN_SCRIPT\n"
                       "0 expect hud \"VERTSPD\"\n"
                       "1 expect hud \"VERTSPD -9.8\"\n"
                       "1.5 camera external\n"
                       "2 expect hud \"VERTSPD -19.6\"\n"
                       "END_SCRIPT\n");
  Result r = Sim("hud.scn --no-sound --quiet");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(
      Has(r.err, "hud.scn:9: expectation failed at t=0.000 s: 0 expect hud \"VERTSPD\" (actual no HUD drawn yet)"))
      << r.err;
  EXPECT_FALSE(Has(r.err, "hud.scn:10:")) << r.err;
  EXPECT_TRUE(Has(r.err, "hud.scn:12: expectation failed at t=2.000 s") && Has(r.err, "\"VERTSPD -14.6\")"))
      << "the picture from 1.5 s, when the camera left the cockpit\n"
      << r.err;
}

TEST_F(SimCommand, OutputFilesAreWrittenAndIdenticalForTheSameInputs) {
  Write("fall.scn", kFalling);
  std::string args =
      "fall.scn --no-sound --duration 1 --csv out/a/fall.csv --plot out/a/fall.svg --trace out/a/fall.trace";
  Result first = Sim(args);
  ASSERT_EQ(first.code, 0) << first.err;
  std::string csv = Slurp("out/a/fall.csv"), svg = Slurp("out/a/fall.svg"), trace = Slurp("out/a/fall.trace");
  Result second = Sim(args);
  ASSERT_EQ(second.code, 0) << second.err;
  EXPECT_EQ(csv, Slurp("out/a/fall.csv")) << "CSV differs between identical runs";
  EXPECT_EQ(svg, Slurp("out/a/fall.svg"));
  EXPECT_EQ(trace, Slurp("out/a/fall.trace"));
  EXPECT_EQ(first.out, second.out);

  EXPECT_EQ(csv.rfind("t,alt,airspeed,vs,", 0), 0u);
  size_t rows = 0;
  for (char c : csv) rows += c == '\n';
  EXPECT_EQ(rows, 1u + 1u + 60u) << "header, the start and one row per step";
  ASSERT_EQ(Sim("fall.scn --no-sound --quiet --csv out/b/fall.csv").code, 0);
  rows = 0;
  for (char c : Slurp("out/b/fall.csv")) rows += c == '\n';
  EXPECT_EQ(rows, 1u + 1u + 600u) << "without a script or --duration the flight lasts 10 s";
  EXPECT_TRUE(Has(svg, "<svg")) << "chart";
  EXPECT_TRUE(Has(trace, "\n60\tTarvex1\tGetAirspeed()")) << "trace lines carry the step number";
  EXPECT_TRUE(Has(first.out, "wrote out/a/fall.csv")) << first.out;
  EXPECT_TRUE(Has(first.out, "wrote out/a/fall.svg")) << first.out;
}

TEST_F(SimCommand, SavedScenarioFliesOnFromWhereItWasSaved) {
  Write("fall.scn", std::string(kFalling) + "BEGIN_SCRIPT\n1 save out/fall-1s.scn\nEND_SCRIPT\n");
  Result first = Sim("fall.scn --no-sound --duration 2 --save out/fall-2s.scn --csv out/fall.csv --quiet");
  ASSERT_EQ(first.code, 0) << first.err;
  std::string saved = Slurp("out/fall-1s.scn");
  EXPECT_TRUE(Has(saved, "Tarvex1:Tarvex\n  STATUS Flying\n  ALT 495.0")) << saved;
  EXPECT_TRUE(Has(saved, "  VEL 0 -9.")) << saved;
  // Flown on from the save at 1 s, the second second matches the first run's.
  Result on = Sim("out/fall-1s.scn --no-sound --duration 1 --csv out/fall-on.csv --quiet");
  ASSERT_EQ(on.code, 0) << on.err;
  std::istringstream a(Slurp("out/fall.csv")), b(Slurp("out/fall-on.csv"));
  std::string la, lb;
  std::vector<std::string> whole, resumed;
  while (std::getline(a, la)) whole.push_back(la);
  while (std::getline(b, lb)) resumed.push_back(lb);
  ASSERT_EQ(whole.size(), 122u);
  ASSERT_EQ(resumed.size(), 62u);
  auto alt = [](const std::string &row) { return std::atof(row.substr(row.find(',') + 1).c_str()); };
  EXPECT_NEAR(alt(resumed[1]), alt(whole[61]), 1e-3) << "starts where the save was made";
  // The host's state comes back whole; the module's own lines leave out a
  // little (the step's effective nozzle deflection), so allow a few cm.
  EXPECT_NEAR(alt(resumed[61]), alt(whole[121]), 0.05) << "and flies on the same way";
}

#if !defined(_WIN32)  // the attacks use POSIX devices (/dev/full, /dev/zero) and links
// Runs each row and checks its exit status and a part of its message.
struct Run {
  std::string args;
  int code;
  std::string message;
};
void ExpectRuns(const std::vector<Run> &rows) {
  for (const Run &r : rows) {
    Result res = Sim(r.args);
    EXPECT_EQ(res.code, r.code) << r.args << "\n" << res.err;
    EXPECT_TRUE(Has(res.err, r.message)) << r.args << "\n" << res.err;
  }
}

// Hostile input, one test per kind of attack: files lost or overwritten,
// scripts saving outside the output folder, runs that would never end, host
// lines holding impossible states.
const std::string kShip = kFalling;

TEST_F(SimCommand, FilesAreWrittenWholeOrNotAtAll) {
  Write("fly.scn", kShip);
  Write("self.scn", kShip + "BEGIN_SCRIPT\n0.5 save self.scn\nEND_SCRIPT\n");
  Write("keep.csv", "good csv\n");
  Write("keep.trace", "good trace\n");
  ExpectRuns({
      {"fly.scn --no-sound --csv fly.scn", 2, "--csv fly.scn: refused: it is fly.scn, which this run reads"},
      {"fly.scn --no-sound --save ./fly.scn", 2, "--save ./fly.scn: refused"},
      {"fly.scn --no-sound --csv a.csv --trace a.csv", 2, "--trace a.csv: refused: it is the file --csv writes"},
      {"self.scn --no-sound", 2, "self.scn:9: save to self.scn refused: it is self.scn, which this run reads"},
      {"fly.scn --no-sound --module nowhere.so --csv keep.csv --trace keep.trace", 3, "cannot load module"},
      {"--no-sound --duration 0.1 --trace /dev/full", 4, "cannot write /dev/full: No space left on device"},
      {"--no-sound --duration 0.1 --save keep.csv/x.scn", 4, "cannot write keep.csv/x.scn"},
  });
  EXPECT_EQ(Slurp("fly.scn"), kShip) << "the scenario flown is never overwritten";
  EXPECT_EQ(Slurp("keep.csv"), "good csv\n") << "outputs are opened only once the module has loaded";
  EXPECT_EQ(Slurp("keep.trace"), "good trace\n");
  Result r = Sim("--no-sound --duration 0.1 --trace /dev/full --csv keep.csv --quiet");
  EXPECT_EQ(r.out, "wrote keep.csv (telemetry, one row per step)\n") << "only what was written, also with --quiet";
  for (auto &e : fs::directory_iterator(".")) EXPECT_FALSE(Has(e.path().string(), ".tmp")) << e.path();
}

TEST_F(SimCommand, ScriptSavesStayInsideTheOutputFolder) {
  std::error_code ec;
  for (const char *old : {"../outside", "link", "alias.scn"}) fs::remove_all(old, ec);
  fs::create_directories("../outside");
  fs::create_symlink("../outside", "link");
  Write("victim.scn", "mine\n");
  fs::create_symlink("victim.scn", "alias.scn");
  Write("fly.scn", kShip + "BEGIN_SCRIPT\n0.1 save " + fs::absolute("../outside/a.scn").string() +
                       "\n0.1 save ../b.scn\n0.1 save sub/../../c.scn\n0.1 save .bashrc\n0.1 save link/d.scn\n"
                       "0.1 save alias.scn\n0.2 save new/dir/e.scn\nEND_SCRIPT\n");
  Result r = Sim("fly.scn --no-sound");
  EXPECT_EQ(r.code, 2) << r.err;
  EXPECT_TRUE(Has(r.err, "fly.scn:9: save to /")) << r.err;
  EXPECT_TRUE(Has(r.err, "fly.scn:10: save to ../b.scn refused: a path with \"..\"")) << r.err;
  EXPECT_TRUE(Has(r.err, "fly.scn:11: save to sub/../../c.scn refused")) << r.err;
  EXPECT_TRUE(Has(r.err, "fly.scn:12: save to .bashrc refused: a script writes only files ending in \".scn\""))
      << r.err;
  EXPECT_TRUE(Has(r.err, "4 problems found; nothing flown")) << "links are found when the save is made";
  // Only the linked saves left: refused when made, the rest of the run flies.
  Write("fly.scn",
        kShip + "BEGIN_SCRIPT\n0.1 save link/d.scn\n0.1 save alias.scn\n0.2 save new/dir/e.scn\nEND_SCRIPT\n");
  r = Sim("fly.scn --no-sound --quiet --save " + fs::absolute("../outside/end.scn").string());
  EXPECT_EQ(r.code, 4);
  EXPECT_TRUE(Has(r.err, "fly.scn:9: cannot save link/d.scn: its folder lies outside the output folder")) << r.err;
  EXPECT_TRUE(Has(r.err, "fly.scn:10: cannot save alias.scn: it is there and is not a plain file")) << r.err;
  EXPECT_TRUE(Has(r.out, "wrote new/dir/e.scn")) << r.out;
  EXPECT_EQ(Slurp("victim.scn"), "mine\n");
  EXPECT_FALSE(fs::exists("../outside/d.scn"));
  EXPECT_TRUE(fs::exists("../outside/end.scn")) << "--save goes wherever the user names";
}

TEST_F(SimCommand, EveryRunEnds) {
  Write("slow.scn", "BEGIN_ENVIRONMENT\n  TimeAcc 1e-300\nEND_ENVIRONMENT\n" + kShip +
                        "BEGIN_SCRIPT\n0.005 timeacc 1e-320\n0.01 expect t >= 0.01\nEND_SCRIPT\n");
  Write("far.scn", kShip + "BEGIN_SCRIPT\n1e300 key E\nEND_SCRIPT\n");
  Write("warp.scn", kShip + "BEGIN_SCRIPT\n0 timeacc 1000\nEND_SCRIPT\n");  // the module caps it at 10
  std::string junk(300000, '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = (char)(i * 7919 % 251);
  Write("junk.scn", junk);
  ExpectRuns({
      {"--dt 1e-300", 2, "--dt needs a step from 0.0001 to 1 s"},
      {"--no-sound --duration 1e308", 2, "--duration: 1e+308 s need about"},
      {"far.scn --no-sound", 2, "far.scn:9: time 1e+300 s is out of reach"},
      {"--no-sound --duration 1 --max-steps 59", 2, "--duration: 1 s need about 60 steps, more than the cap of 59"},
      {"warp.scn --no-sound --duration 100 --max-steps 100", 2, "after 100 steps, the step cap (--max-steps)"},
      {"/dev/zero", 2, "cannot read /dev/zero: larger than 4 MiB"},
      {"junk.scn", 2, "more\ntarvex-sim: "},
  });
  Result r = Sim("--no-sound --quiet --duration 1 --max-steps 60");
  EXPECT_EQ(r.code, 0) << "exactly at the cap: " << r.err;
  r = Sim("slow.scn --no-sound --quiet");
  EXPECT_EQ(r.code, 0) << "steps never shorter than 0.0001 s: " << r.err;
  r = Sim("junk.scn");
  EXPECT_LE(std::count(r.err.begin(), r.err.end(), '\n'), 22) << "a screenful of problems at most";
}

TEST_F(SimCommand, HostLinesAreCheckedWithFileAndLine) {
  Write("odd.scn",
        "BEGIN_SHIPS\nTarvex1:Tarvex\n  STATUS Flying\n  ALT -1e6\n  ANGVEL 0 0 1e4\n"
        "  AIRSPEED 1e308\n  FEUL 100\n  POS 0 0\nEND\nEND_SHIPS\n");
  Result r = Sim("odd.scn --no-sound");
  EXPECT_EQ(r.code, 2);
  for (const char *m : {"odd.scn:4: ALT -1000000 is impossible", "odd.scn:5: ANGVEL 0 0 10000 is impossible",
                        "odd.scn:6: AIRSPEED 1e+308 is impossible", "odd.scn:8: expected \"POS <x y z>\"",
                        "odd.scn:7: warning: \"FEUL 100\" is neither a host line nor one of Tarvex's; ignored",
                        "4 problems found; nothing flown"})
    EXPECT_TRUE(Has(r.err, m)) << m << "\n" << r.err;
  Write("odd.scn", "BEGIN_SHIPS\nTarvex1:Tarvex\n  FEUL 100\nEND\nEND_SHIPS\n");
  r = Sim("odd.scn --no-sound --quiet --save out.scn");
  EXPECT_EQ(r.code, 0) << "an unknown line is only a warning: " << r.err;
}

#endif

}  // namespace

TEST_F(SimCommand, HudFramesAndTheReportShowWhatThePilotSaw) {
  Write("hud.scn", "BEGIN_ENVIRONMENT\n  Camera internal\n  Cockpit virtual\n  HUD surface\nEND_ENVIRONMENT\n" +
                       std::string(kFalling) +
                       "BEGIN_SCRIPT\n1 navmode HOLDALT on\n2 hudframe out/hold.svg\n3 camera external\n"
                       "4 hudframe out/outside.svg\n4 expect alt > 9999\nEND_SCRIPT\n");
  Result r = Sim("hud.scn --no-sound --report out/hud.html --hud-every 0.5");
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_TRUE(Has(r.out, "wrote out/hold.svg (HUD frame at t=2.000 s)")) << r.out;
  EXPECT_TRUE(Has(r.out, "wrote out/hud.html (flight report)")) << r.out;
  std::string hold = Slurp("out/hold.svg"), outside = Slurp("out/outside.svg"), page = Slurp("out/hud.html");
  EXPECT_TRUE(Has(hold, "<?xml") && Has(hold, ">VERTSPD -") && Has(hold, "<ellipse")) << hold;
  EXPECT_TRUE(Has(outside, ">no HUD: camera outside the vessel</text>")) << outside;
  size_t frames = 0;
  for (size_t at = page.find("class=\"hud\""); at != std::string::npos; at = page.find("class=\"hud\"", at + 1))
    ++frames;
  EXPECT_EQ(frames, 11u + 2u) << "one every 0.5 s from the first step to 5 s, and the two of the script";
  for (const char *part :
       {"navmode</td><td>HOLDALT on", "camera outside the vessel", "hud.scn:18</td>", "FAILED</td><td>4"})
    EXPECT_TRUE(Has(page, part)) << part;
  for (const char *fetch : {"src=", "href=", "url(", "@import"})
    EXPECT_FALSE(Has(page, fetch)) << "the report fetches nothing: " << fetch;
}
