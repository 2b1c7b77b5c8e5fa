// tarvex-sim against hostile input, one test per kind of attack: files lost
// or overwritten, scripts saving outside the output folder, runs that would
// never end, and host lines holding impossible states.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

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
  return Result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp("sim.out"), Slurp("sim.err")};
}

bool Has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

const std::string kShip = "BEGIN_SHIPS\nTarvex1:Tarvex\n  STATUS Flying\n  ALT 500\n  AIRSPEED 0\nEND\nEND_SHIPS\n";

class SimGuards : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string dir = std::string("sim_guards/") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
  }
  void TearDown() override { fs::current_path("../.."); }
  // Runs each row and checks its exit status and a part of its message.
  struct Row {
    std::string args;
    int code;
    std::string message;
  };
  void Expect(const std::vector<Row> &rows) {
    for (const Row &r : rows) {
      Result res = Sim(r.args);
      EXPECT_EQ(res.code, r.code) << r.args << "\n" << res.err;
      EXPECT_TRUE(Has(res.err, r.message)) << r.args << "\n" << res.err;
    }
  }
};

TEST_F(SimGuards, FilesAreWrittenWholeOrNotAtAll) {
  Write("fly.scn", kShip);
  Write("self.scn", kShip + "BEGIN_SCRIPT\n0.5 save self.scn\nEND_SCRIPT\n");
  Write("keep.csv", "good csv\n");
  Write("keep.trace", "good trace\n");
  Expect({
      {"fly.scn --no-sound --csv fly.scn", 2, "--csv fly.scn: refused: it is fly.scn, which this run reads"},
      {"fly.scn --no-sound --plot ./fly.scn", 2, "--plot ./fly.scn: refused"},
      {"fly.scn --no-sound --save fly.scn", 2, "--save fly.scn: refused"},
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

TEST_F(SimGuards, ScriptSavesStayInsideTheOutputFolder) {
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
  EXPECT_TRUE(Has(r.err, "fly.scn:12: save to .bashrc refused: not a scenario file")) << r.err;
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

TEST_F(SimGuards, EveryRunEnds) {
  Write("slow.scn", "BEGIN_ENVIRONMENT\n  TimeAcc 1e-300\nEND_ENVIRONMENT\n" + kShip +
                        "BEGIN_SCRIPT\n0.005 timeacc 1e-320\n0.01 expect t >= 0.01\nEND_SCRIPT\n");
  Write("far.scn", kShip + "BEGIN_SCRIPT\n1e300 key E\nEND_SCRIPT\n");
  Write("warp.scn", kShip + "BEGIN_SCRIPT\n0 timeacc 1000\nEND_SCRIPT\n");  // the module caps it at 10
  std::string junk(300000, '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = (char)(i * 7919 % 251);
  Write("junk.scn", junk);
  Expect({
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

TEST_F(SimGuards, HostLinesAreCheckedWithFileAndLine) {
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

}  // namespace
