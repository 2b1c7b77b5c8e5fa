// tarvex-sim as a command: its options, its errors, the files it writes and
// hostile input (files lost or overwritten, saves outside the output folder,
// runs that would never end).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/fixture.h"

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
  int status = std::system((std::string(TARVEX_SIM_PATH) + " " + args + " >sim.out 2>sim.err").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp("sim.out"), Slurp("sim.err")};
}

bool Has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// Runs each row: its exit status, and a part of what it printed.
struct Run {
  std::string args;
  int code;
  std::string message;
};
void ExpectRuns(const std::vector<Run> &rows) {
  for (const Run &r : rows) {
    Result res = Sim(r.args);
    EXPECT_EQ(res.code, r.code) << r.args << "\n" << res.err;
    EXPECT_TRUE(Has(res.err + res.out, r.message)) << r.args << ": " << r.message << "\n" << res.err;
    if (r.code == 2 || r.code == 3) {
      EXPECT_FALSE(Has(res.out, "t(s)")) << r.args << ": nothing flown";
    }
  }
}

// Each test works in a folder of its own, so tests running side by side do
// not share files.
class SimCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string dir = std::string("sim_command/") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(dir);
    fs::current_path(dir);
  }
};

const std::string kFalling = "BEGIN_SHIPS\nTarvex1:Tarvex\n  STATUS Flying\n  ALT 500\n  AIRSPEED 0\nEND\nEND_SHIPS\n";

TEST_F(SimCommand, BadInputIsRefusedClearlyAndEveryRunEnds) {
  Write("bad_script.scn", kFalling + "BEGIN_SCRIPT\n1 key E\n2 set main 3\nEND_SCRIPT\n");
  Write("no_ships.scn", "BEGIN_DESC\nnothing\nEND_DESC\n");
  Write("ghost.scn",
        kFalling + "BEGIN_SCRIPT\n1 expect Ghost.alt > 1\nwhen alt < 3 and Ghost.alt < 3: key G\nEND_SCRIPT\n");
  Write("odd.scn",
        "BEGIN_SHIPS\nTarvex1:Tarvex\n  STATUS Flying\n  ALT -1e6\n  ANGVEL 0 0 1e4\n"
        "  AIRSPEED 1e308\n  FEUL 100\n  POS 0 0\nEND\nEND_SHIPS\n");
  Write("feul.scn", "BEGIN_SHIPS\nTarvex1:Tarvex\n  FEUL 100\nEND\nEND_SHIPS\n");
  Write("slow.scn", "BEGIN_ENVIRONMENT\n  TimeAcc 1e-300\nEND_ENVIRONMENT\n" + kFalling +
                        "BEGIN_SCRIPT\n0.005 timeacc 1e-320\n0.01 expect t >= 0.01\nEND_SCRIPT\n");
  Write("far.scn", kFalling + "BEGIN_SCRIPT\n1e300 key E\nEND_SCRIPT\n");
  Write("warp.scn", kFalling + "BEGIN_SCRIPT\n0 timeacc 1000\nEND_SCRIPT\n");  // the module caps it at 10
  // Silent traps: each says what it found and what it does.
  Write(
      "traps.scn",
      "BEGIN_ENVIRONMENT\n  TimeAc 2\n  Date MJD 5x\nEND_ENVIRONMENT\nBEGIN_SHIPS\nTarvex1:Tarvx\n  STAUS Landed\nEND\n"
      "Tarvex2:Tarvex\n  GEARX 1\n  ENG TURN 1.2x\nEND\nEND_SHIPS\nBEGIN_SCRIPT\n"
      "1 kye E\nEND_SCRIPT\nBEGIN_SHIP\n");
  Write("host.scn", "BEGIN_SHIPS\nTarvex1:Tarvex\n  STAUS Landed\n  ALT 5abc\nEND\nEND_SHIPS\n");
  Write("vel.scn", "BEGIN_SHIPS\nTarvex1:Tarvex\n  ALT 50\n  AIRSPEED 9\n  VEL 0 0 3\nEND\nEND_SHIPS\n");
  Write("noted.scn",
        "BEGIN_SHIPS\nTarvex1:Tarvex\n  STATUS Landed\n  ALT 50\n  PITCH 10\n  FUEL 99999\n  FEUL 1\n"
        "END\nEND_SHIPS\nBEGIN_SCRIPT\n2 hud none\n1 expect fuel == 20000\nEND_SCRIPT\n");
  std::string junk(300000, '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = (char)(i * 7919 % 251);
  Write("junk.scn", junk);
  // clang-format off
  ExpectRuns({
      {"--help", 0, "usage: tarvex-sim [SCENARIO]"},
      {"missing.scn", 2, "cannot read missing.scn"},
      {"--script missing.txt --no-sound", 2, "cannot read missing.txt"},
      {"bad_script.scn --no-sound", 2, "bad_script.scn:10: expected a level from 0 to 1 for main"},
      {"no_ships.scn --no-sound", 2, "expected at least one vessel block"},
      {"ghost.scn --no-sound", 2, "ghost.scn:9: expected the name of a vessel of the scenario"},
      {"ghost.scn --no-sound", 2, "ghost.scn:10: expected the name of a vessel of the scenario"},
      {"--module ./nowhere.so --no-sound", 3, "cannot load module ./nowhere.so"},
      {"--sound ./nowhere.dll --quiet --duration 0.1", 3, "cannot load"},
      {"traps.scn", 2, "traps.scn:2: expected an environment line (Date MJD, TimeAcc, Camera, Cockpit or HUD), found \"TimeAc 2\" (did you mean TimeAcc?)"},
      {"traps.scn", 2, "traps.scn:3: expected \"Date MJD <days>\", found \"Date MJD 5x\""},
      {"traps.scn", 2, "traps.scn:6: unknown vessel class \"Tarvx\" for \"Tarvex1\": the classes that exist are Tarvex (did you mean Tarvex?)"},
      {"traps.scn", 2, "traps.scn:10: \"GEARX 1\" begins with GEAR, which the class reads as its own line; expected \"GEAR <command> [<position>]\""},
      {"traps.scn", 2, "traps.scn:11: expected \"ENG TURN <drive> [<angle>]\", found \"ENG TURN 1.2x\""},
      {"traps.scn", 2, "traps.scn:15: expected a command key, set, navmode, timeacc, camera, cockpit, hud, save, hudframe or expect, found \"kye\" (did you mean key?)"},
      {"traps.scn", 2, "traps.scn:17: expected BEGIN_DESC, BEGIN_ENVIRONMENT, BEGIN_FOCUS, BEGIN_SHIPS or BEGIN_SCRIPT, found \"BEGIN_SHIP\" (did you mean BEGIN_SHIPS?)"},
      {"host.scn --no-sound", 2, "host.scn:3: warning: \"STAUS Landed\" is neither a host line nor one of Tarvex's; ignored (did you mean STATUS?)"},
      {"host.scn --no-sound", 2, "host.scn:4: expected \"ALT <metres, -100 to 1e12>\", found \"5abc\""},
      {"vel.scn --no-sound --quiet --duration 0.1", 0, "vel.scn:4: warning: AIRSPEED is not used: VEL gives the velocity (3 m/s)"},
      {"noted.scn --no-sound --quiet", 0, "noted.scn:4: warning: ALT is not used with STATUS Landed: the vessel rests on its gear"},
      {"noted.scn --no-sound --quiet", 0, "noted.scn:5: warning: PITCH is not used with STATUS Landed"},
      {"noted.scn --no-sound --quiet", 0, "noted.scn:6: warning: FUEL 99999 is more than the tank holds: filled to its 20000 kg"},
      {"noted.scn --no-sound --quiet", 0, "noted.scn:7: warning: \"FEUL 1\" is neither a host line nor one of Tarvex's; ignored (did you mean FUEL?)"},
      {"noted.scn --no-sound --quiet", 0, "noted.scn:12: warning: \"1 expect fuel == 20000\" comes after line 11 at 2 s but runs before it, at 1 s"},
      {"odd.scn --no-sound", 2, "odd.scn:4: ALT -1000000 is impossible"},
      {"odd.scn --no-sound", 2, "odd.scn:5: ANGVEL 0 0 10000 is impossible"},
      {"odd.scn --no-sound", 2, "odd.scn:6: AIRSPEED 1e+308 is impossible"},
      {"odd.scn --no-sound", 2, "odd.scn:7: warning: \"FEUL 100\" is neither a host line nor one of Tarvex's; ignored"},
      {"odd.scn --no-sound", 2, "odd.scn:8: expected \"POS <x y z>\""},
      {"odd.scn --no-sound", 2, "4 problems found; nothing flown"},
      {"feul.scn --no-sound --quiet --save out.scn", 0, ""},  // an unknown line is only a warning
      {"--no-sound --duration 1e308", 2, "--duration: 1e+308 s need about"},
      {"far.scn --no-sound", 2, "far.scn:9: time 1e+300 s is out of reach"},
      {"--no-sound --duration 1 --max-steps 59", 2, "--duration: 1 s need about 60 steps, more than the cap of 59"},
      {"--no-sound --quiet --duration 1 --max-steps 60", 0, ""},  // exactly at the cap
      {"--no-sound --quiet --dt 0.5 --duration 1 --max-steps 2", 0, ""},  // two steps, counted exactly
      {"warp.scn --no-sound --quiet --duration 100 --max-steps 599", 2, "--duration: 100 s need about 600 steps"},
      {"slow.scn --no-sound --quiet", 0, ""},  // steps never shorter than 0.0001 s
      {"/dev/zero", 2, "cannot read /dev/zero: larger than 4 MiB"},
      {"junk.scn", 2, "more\ntarvex-sim: "},
  });
  // clang-format on
  Result r = Sim("junk.scn");
  EXPECT_LE(std::count(r.err.begin(), r.err.end(), '\n'), 22) << "a screenful of problems at most";
}

TEST_F(SimCommand, FailedExpectationsGiveLineActualValueAndExitStatus) {
  Write("expect.scn", kFalling +
                          "BEGIN_SCRIPT\n0.5 expect alt > 600\n0.5 expect alt < 600\n"
                          "1 expect sound 6 playing\n9 expect ground == 0\nEND_SCRIPT\n");
  Result r = Sim("expect.scn --no-sound --duration 2");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "expect.scn:9: expectation failed at t=0.500 s: 0.5 expect alt > 600 (actual 498.7")) << r.err;
  EXPECT_FALSE(Has(r.err, "expect.scn:10:")) << "the expectation that holds is not reported";
  EXPECT_TRUE(Has(r.err,
                  "expect.scn:11: expectation failed at t=1.000 s: 1 expect sound 6 playing (actual no sound "
                  "service)"))
      << r.err;
  EXPECT_TRUE(Has(r.err, "expect.scn:12: expectation not reached: the run ended at t=2.000 s")) << r.err;
  EXPECT_TRUE(Has(r.out, "expectations: 1 passed, 3 failed")) << r.out;
}

// Lines that react to the flight, in a free fall from 500 m: a ramp, conditions
// that fire, never fire or carry an expectation, a check over the whole run
// and a stop.
TEST_F(SimCommand, ReactingLinesFireRampAndStopTheRun) {
  Write("react.scn", kFalling +
                         "BEGIN_SCRIPT\n2 set rudder 1 over 2\n2 expect rudder == 0\n3 expect rudder == 0.5 1e-9\n"
                         "4 expect rudder == 1\nwhen alt < 480: expect t > 2\nwhen alt < 0: key G\n"
                         "when alt < -1: expect alt > 0\nexpect always alt > 420\nstop when alt < 400\n"
                         "10 expect alt > 0\nEND_SCRIPT\n");
  Result r = Sim("react.scn --no-sound --report react.html");
  EXPECT_EQ(r.code, 1);
  const std::string stopped = "the run stopped at t=4.633 s by react.scn:17 \"stop when alt < 400\"";
  for (const std::string &line : {
           std::string("react.scn:16: expectation failed from t=4.117 s: expect always alt > 420 (actual 419.6882564 "
                       "at t=4.117 s; failed 32 of 279 steps)"),
           "react.scn:18: expectation not reached: " + stopped,
           "react.scn:14: warning: never fired: when alt < 0: key G (its condition never held; " + stopped + ")",
           std::string("react.scn:15: expectation never checked: when alt < -1: expect alt > 0"),
       })
    EXPECT_TRUE(Has(r.err, line)) << line << "\n" << r.err;
  for (const char *line : {"react.scn:10:", "react.scn:11:", "react.scn:12:", "react.scn:13:"})
    EXPECT_FALSE(Has(r.err, line)) << "the ramp is at 0, 0.5 and 1 at its start, middle and end; the condition "
                                      "fired after 2 s\n"
                                   << r.err;
  EXPECT_TRUE(Has(r.out,
                  "expectations: 4 passed, 3 failed\n  conditions: 2 fired, 2 never fired\n"
                  "  stopped by react.scn:17: stop when alt < 400"))
      << r.out;
  std::string page = Slurp("react.html");
  for (const char *part : {"<td class=\"k\">when</td><td>when alt &lt; 480: expect t &gt; 2</td>",
                           "<td class=\"k\">stop</td><td>stop when alt &lt; 400: the run ends</td>",
                           "<tr class=\"warn\"><td>react.scn:14</td>", "<rect class=\"band failed\"",
                           "<div id=\"failures\"", "rudder 1 over 2 s"})
    EXPECT_TRUE(Has(page, part)) << part;
}

// The HUD is drawn only when looked at, yet every look sees what the screen
// showed: the picture of the last step, or the last one before it went out of view.
TEST_F(SimCommand, HudExpectationsSeeTheLastPictureShown) {
  Write("hud.scn", kFalling +
                       "BEGIN_SCRIPT\n0 expect hud \"VERTSPD\"\n1 expect hud \"VERTSPD -9.8\"\n"
                       "1.5 camera external\n2 expect hud \"VERTSPD -19.6\"\nEND_SCRIPT\n");
  Result r = Sim("hud.scn --no-sound --quiet");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "hud.scn:9: expectation failed at t=0.000 s: 0 expect hud \"VERTSPD\" (actual no HUD drawn"))
      << r.err;
  EXPECT_FALSE(Has(r.err, "hud.scn:10:")) << r.err;
  EXPECT_ALL(Has(r.err, "hud.scn:12: expectation failed at t=2.000 s"), Has(r.err, "\"VERTSPD -14.6\")"))
      << "the picture from 1.5 s, when the camera left the cockpit\n"
      << r.err;
}

TEST_F(SimCommand, OutputFilesAreTheSameForTheSameInputs) {
  Write("fall.scn", kFalling + "BEGIN_SCRIPT\n1 save out/fall-1s.scn\nEND_SCRIPT\n");
  const std::string args =
      "fall.scn --no-sound --duration 2 --csv out/fall.csv --plot out/fall.svg --trace out/fall.trace";
  Result first = Sim(args);
  ASSERT_EQ(first.code, 0) << first.err;
  const std::string csv = Slurp("out/fall.csv"), svg = Slurp("out/fall.svg"), trace = Slurp("out/fall.trace");
  Result second = Sim(args);
  EXPECT_EQ(first.out, second.out);
  EXPECT_ALL(csv == Slurp("out/fall.csv"), svg == Slurp("out/fall.svg"), trace == Slurp("out/fall.trace"))
      << "outputs differ between identical runs";
  EXPECT_EQ(csv.rfind("t,alt,airspeed,vs,", 0), 0u);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 1 + 120) << "header, the start and one row per step";
  EXPECT_TRUE(Has(svg, "<svg"));
  EXPECT_TRUE(Has(trace, "\n120\tTarvex1\tGetAirspeed()")) << "trace lines carry the step number";
  EXPECT_TRUE(Has(trace, "\n120\tTarvex1\tVESSEL3::clbkDrawHUD(2)")) << "a traced run draws the HUD every step";
  EXPECT_TRUE(Has(first.out, "wrote out/fall.csv (telemetry, one row per step)")) << first.out;
  ASSERT_EQ(Sim("--no-sound --quiet --csv out/ten.csv").code, 0);
  const std::string ten = Slurp("out/ten.csv");
  EXPECT_EQ(std::count(ten.begin(), ten.end(), '\n'), 1 + 1 + 600) << "without a script or --duration: 10 s";

  EXPECT_TRUE(Has(Slurp("out/fall-1s.scn"), "Tarvex1:Tarvex\n  STATUS Flying\n  ALT 495.0")) << "saved at 1 s";
  EXPECT_EQ(Sim("out/fall-1s.scn --no-sound --quiet --duration 0.1").err, "") << "a save loads without a warning";
}

// A run pipes into other tools: the telemetry alone on standard output, the
// rest on standard error, and problems in order with the table.
TEST_F(SimCommand, CommandLineConventions) {
  Write("fall.scn", kFalling + "BEGIN_SCRIPT\n0.5 expect alt > 9999\nEND_SCRIPT\n");
  Result r = Sim("fall.scn --no-sound --duration=1 --csv - --csv-every 30");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out.rfind("t,alt,airspeed,", 0), 0u) << r.out;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 1 + 2) << "header, start, every 30 steps\n" << r.out;
  EXPECT_ALL(Has(r.out, "\n0.5,"), Has(r.out, "\n1,")) << r.out;
  EXPECT_ALL(Has(r.err, "t(s)"), Has(r.err, "wrote standard output (telemetry, a row every 30 steps)")) << r.err;
  int code = std::system((std::string(TARVEX_SIM_PATH) + " fall.scn --no-sound --every 1 >both.txt 2>&1").c_str());
  EXPECT_EQ(WEXITSTATUS(code), 1);
  const std::string both = Slurp("both.txt");
  const size_t failed = both.find("expectation failed at t=0.500 s");
  EXPECT_ALL(failed != std::string::npos, failed > both.find("\n     0.48 "), failed < both.find("\n     0.52 "))
      << "the problem between the rows it falls between\n"
      << both.substr(0, 3000);
  Result v = Sim("--version");
  EXPECT_ALL(Has(v.out, "tarvex-sim 1."), Has(v.out, "ModuleDate \"Mar  3 2011\", GetModuleVersion 20100830"))
      << v.out << v.err;
  EXPECT_EQ(Sim("--version --module nowhere.so").code, 3);
  Result two = Sim("--no-sound --quiet --duration 0.1 --csv out/two.csv " + std::string(TARVEX_SOURCE_DIR) +
                   "/scenarios/two_vessels.scn");
  const std::string csv = Slurp("out/two.csv");
  EXPECT_EQ(csv.rfind("t,Tarvex1.alt,Tarvex1.airspeed,", 0), 0u) << csv.substr(0, 200);
  EXPECT_TRUE(Has(csv.substr(0, csv.find('\n')), ",Tarvex2.reheat_sound")) << "every vessel's columns";
}

// The reference's first flight flies as written there.
TEST_F(SimCommand, TheReferencesFirstFlightFliesAsWritten) {
  const std::string doc = Slurp(std::string(TARVEX_SOURCE_DIR) + "/docs/scenarios.md");
  const size_t at = doc.find("```\nBEGIN_DESC", doc.find("## A first flight"));
  ASSERT_NE(at, std::string::npos);
  Write("hover.scn", doc.substr(at + 4, doc.find("```", at + 4) - at - 4));
  Result r = Sim("hover.scn --quiet");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "") << "no warning either";
}

TEST_F(SimCommand, FilesAreWrittenWholeOrNotAtAllAndSavesStayInTheOutputFolder) {
  Write("fly.scn", kFalling);
  Write("self.scn", kFalling + "BEGIN_SCRIPT\n0.5 save self.scn\nEND_SCRIPT\n");
  Write("keep.csv", "good csv\n");
  Write("keep.trace", "good trace\n");
  std::error_code ec;
  for (const char *old : {"../outside", "link", "alias.scn"}) fs::remove_all(old, ec);
  fs::create_directories("../outside");
  fs::create_symlink("../outside", "link");
  Write("victim.scn", "mine\n");
  fs::create_symlink("victim.scn", "alias.scn");
  Write("out.scn", kFalling + "BEGIN_SCRIPT\n0.1 save " + fs::absolute("../outside/a.scn").string() +
                       "\n0.1 save ../b.scn\n0.1 save sub/../../c.scn\n0.1 save .bashrc\nEND_SCRIPT\n");
  Write("linked.scn",
        kFalling + "BEGIN_SCRIPT\n0.1 save link/d.scn\n0.1 save alias.scn\n0.2 save new/dir/e.scn\nEND_SCRIPT\n");
  const std::string end = fs::absolute("../outside/end.scn").string();
  // clang-format off
  ExpectRuns({
      {"fly.scn --no-sound --csv fly.scn", 2, "--csv fly.scn: refused: it is fly.scn, which this run reads"},
      {"fly.scn --no-sound --save ./fly.scn", 2, "--save ./fly.scn: refused"},
      {"fly.scn --no-sound --csv a.csv --trace a.csv", 2, "--trace a.csv: refused: it is the file --csv writes"},
      {"self.scn --no-sound", 2, "self.scn:9: save to self.scn refused: it is self.scn, which this run reads"},
      {"fly.scn --no-sound --module nowhere.so --csv keep.csv --trace keep.trace", 3, "cannot load module"},
      {"--no-sound --duration 0.1 --trace /dev/full", 4, "cannot write /dev/full: No space left on device"},
      {"--no-sound --duration 0.1 --save keep.csv/x.scn", 4, "cannot write keep.csv/x.scn"},
      {"out.scn --no-sound", 2, "out.scn:9: save to /"},
      {"out.scn --no-sound", 2, "out.scn:10: save to ../b.scn refused: a path with \"..\""},
      {"out.scn --no-sound", 2, "out.scn:11: save to sub/../../c.scn refused"},
      {"out.scn --no-sound", 2, "out.scn:12: save to .bashrc refused: a script writes only files ending in \".scn\""},
      {"out.scn --no-sound", 2, "4 problems found; nothing flown"},  // links are found when the save is made
      {"linked.scn --no-sound --quiet --save " + end, 4, "linked.scn:9: cannot save link/d.scn: its folder lies outside the output folder"},
      {"linked.scn --no-sound --quiet --save " + end, 4, "linked.scn:10: cannot save alias.scn: it is there and is not a plain file"},
      {"linked.scn --no-sound --quiet --save " + end, 4, "wrote new/dir/e.scn"},
  });
  // clang-format on
  EXPECT_EQ(Slurp("fly.scn"), kFalling) << "the scenario flown is never overwritten";
  EXPECT_EQ(Slurp("keep.csv"), "good csv\n") << "outputs are opened only once the module has loaded";
  EXPECT_EQ(Slurp("keep.trace"), "good trace\n");
  EXPECT_EQ(Slurp("victim.scn"), "mine\n");
  EXPECT_FALSE(fs::exists("../outside/d.scn"));
  EXPECT_TRUE(fs::exists(end)) << "--save goes wherever the user names";
  Result r = Sim("--no-sound --duration 0.1 --trace /dev/full --csv keep.csv --quiet");
  EXPECT_EQ(r.out,
            "wrote keep.csv (telemetry, one row per step)\n"
            "wrote OrbiterSound_Log.txt (the sound connector's log, appended to)\n")
      << "only what was written, also with --quiet";
  for (auto &e : fs::directory_iterator(".")) EXPECT_FALSE(Has(e.path().string(), ".tmp")) << e.path();
}

TEST_F(SimCommand, HudFramesAndTheReportShowWhatThePilotSaw) {
  Write("hud.scn", "BEGIN_ENVIRONMENT\n  Camera internal\n  Cockpit virtual\n  HUD surface\nEND_ENVIRONMENT\n" +
                       kFalling +
                       "BEGIN_SCRIPT\n1 navmode HOLDALT on\n2 hudframe out/hold.svg\n3 camera external\n"
                       "4 hudframe out/outside.svg\n4 expect alt > 9999\nEND_SCRIPT\n");
  Result r = Sim("hud.scn --no-sound --report out/hud.html --hud-every 0.5");
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_TRUE(Has(r.out, "wrote out/hold.svg (HUD frame at t=2.000 s)")) << r.out;
  EXPECT_TRUE(Has(r.out, "wrote out/hud.html (flight report)")) << r.out;
  std::string hold = Slurp("out/hold.svg"), page = Slurp("out/hud.html");
  EXPECT_ALL(Has(hold, "<?xml"), Has(hold, ">VERTSPD -"), Has(hold, "<ellipse")) << hold;
  EXPECT_TRUE(Has(Slurp("out/outside.svg"), ">no HUD: camera outside the vessel</text>"));
  size_t frames = 0;
  for (size_t at = page.find("class=\"hud\""); at != std::string::npos; at = page.find("class=\"hud\"", at + 1))
    ++frames;
  EXPECT_EQ(frames, 11u + 2u) << "one every 0.5 s from the first step to 5 s, and the two of the script";
  for (const char *part :
       {"navmode</td><td>HOLDALT on", "camera outside the vessel", "hud.scn:18</td>", "FAILED</td><td>4"})
    EXPECT_TRUE(Has(page, part)) << part;
  for (const char *fetch : {"src=", "url(", "@import"})
    EXPECT_FALSE(Has(page, fetch)) << "the report fetches nothing: " << fetch;
  for (size_t at = page.find("href="); at != std::string::npos; at = page.find("href=", at + 1))
    EXPECT_EQ(page.compare(at, 7, "href=\"#"), 0) << "links stay on the page: " << page.substr(at, 40);
}

// "\n", "\t", "\xNN" and "\\" in a table's field.
std::string Unescaped(const std::string &s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
    } else if (s[++i] == 'x' && i + 2 < s.size()) {
      out += (char)std::stoi(s.substr(i + 1, 2), nullptr, 16), i += 2;
    } else {
      out += s[i] == 'n' ? '\n' : s[i] == 't' ? '\t' : s[i];
    }
  }
  return out;
}

// Hostile input as a table (tests/data/sim_attacks.txt, which says how it
// reads): files written, runs, and what they leave behind.
TEST_F(SimCommand, HostileInputFromTheTable) {
  const std::string shell = std::string("SIM='") + TARVEX_SIM_PATH + "'; MODULE='" + TARVEX_MODULE_PATH + "'; ";
  std::string file, text;
  bool in_file = false;
  for (const std::string &row : tarvex_test::DataLines("sim_attacks.txt")) {
    if (in_file) {
      if (row == "end")
        Write(file, text), in_file = false;
      else
        text += Unescaped(row) + "\n";
      continue;
    }
    const size_t bar = row.find(" | "), last = row.rfind(" | ");
    const std::string kind = row.substr(0, bar), rest = bar == std::string::npos ? "" : row.substr(bar + 3);
    const std::string name = Unescaped(kind.substr(kind.find(' ') + 1));
    if (kind.rfind("file ", 0) == 0)
      file = name, text.clear(), in_file = true;
    else if (kind.rfind("run ", 0) == 0)
      ExpectRuns({{Unescaped(row.substr(bar + 3, last - bar - 3)), std::stoi(name), Unescaped(row.substr(last + 3))}});
    else if (kind.rfind("has ", 0) == 0 || kind.rfind("lacks ", 0) == 0)
      EXPECT_EQ(Has(Slurp(name), Unescaped(rest)), kind[0] == 'h') << row;
    else if (kind.rfind("gone ", 0) == 0)
      EXPECT_FALSE(fs::exists(name)) << row;
    else if (kind == "sh")
      EXPECT_EQ(std::system((shell + rest).c_str()), 0) << row;
    else
      ADD_FAILURE() << "a row of an unknown kind: " << row;
  }
}

}  // namespace
