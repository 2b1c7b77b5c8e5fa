// The lists of tarvex-sim and docs/scenarios.md hold the same names as the
// tables the readers use, and the tables match what the module does.
#include "sim/lists.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "host/host_lines.h"
#include "host/scenario_lines.h"
#include "sim/conditions.h"
#include "sim/keys.h"
#include "sim/script.h"
#include "sim/telemetry.h"
#include "sound/slots.h"
#include "tests/support/fixture.h"

namespace {

using Names = std::set<std::string>;

// The names of the list after "<!-- list: WHAT -->" in the reference: the
// first cell of each table row, or every `name` of a paragraph.
Names Documented(const std::string &what) {
  std::ifstream in(std::string(TARVEX_SOURCE_DIR) + "/docs/scenarios.md");
  std::string line;
  bool in_list = false;
  Names out;
  while (std::getline(in, line)) {
    if (line == "<!-- list: " + what + " -->") {
      in_list = true;
      continue;
    }
    if (!in_list) continue;
    if (line.empty()) break;
    std::string text = line[0] == '|' ? line.substr(1, line.find('|', 1) - 1) : line;
    for (size_t a = text.find('`'); a != std::string::npos; a = text.find('`', text.find('`', a + 1) + 1)) {
      size_t b = text.find('`', a + 1);
      if (b == std::string::npos) break;
      out.insert(text.substr(a + 1, b - a - 1));
    }
  }
  EXPECT_TRUE(in_list) << "docs/scenarios.md has no list \"" << what << "\"";
  return out;
}

TEST(Lists, TheReferenceAndTheListsHoldEveryNameOfTheCodesTables) {
  Names used, other, columns, slots, commands, controls, reacting;
  for (auto &k : sim::Keys()) (*k.action ? used : other).insert(k.name);
  for (auto &c : sim::Columns()) columns.insert(c.name);
  for (auto &s : kWaveSlotFiles) slots.insert(std::to_string(s.slot));
  for (auto &c : sim::ScriptCommands()) commands.insert(c.name);
  for (auto &t : sim::SetTargets()) controls.insert(t.name);
  for (auto &c : sim::ReactingLines()) reacting.insert(c.name);
  const struct {
    const char *list, *doc;
    Names names;
  } rows[] = {
      {"keys", "keys", used},          {"keys", "other keys", other}, {"columns", "columns", columns},
      {"sounds", "sounds", slots},     {"lines", "script", commands}, {"lines", "set", controls},
      {"lines", "reacting", reacting},
  };
  for (auto &r : rows) {
    EXPECT_EQ(Documented(r.doc), r.names) << "docs/scenarios.md, list " << r.doc;
    const std::string listed = sim::ListText(r.list);
    for (auto &n : r.names)
      EXPECT_TRUE(listed.find(" " + n + " ") != std::string::npos || listed.find(" " + n + "\n") != std::string::npos)
          << "--list " << r.list << ": " << n;
  }
  for (auto block : {host::LineBlock::File, host::LineBlock::Environment, host::LineBlock::Focus,
                     host::LineBlock::HostVessel, host::LineBlock::ClassVessel}) {
    std::vector<std::string> v = host::LineNames(block);
    const char *doc[] = {"lines File", "lines Environment", "lines Focus", "lines HostVessel", "lines ClassVessel"};
    EXPECT_EQ(Documented(doc[(int)block]), Names(v.begin(), v.end())) << doc[(int)block];
    for (auto &n : v) EXPECT_NE(sim::ListText("lines").find("  " + n + " "), std::string::npos) << n;
  }
  EXPECT_EQ(sim::ListText("planes"), "");
}

class ListsAndTheModule : public tarvex_test::ModuleTest {};

// The tables say what the module does: the keys it takes, the lines it reads
// itself and those it leaves to the host.
TEST_F(ListsAndTheModule, KeysAndLinesAreThoseTheModuleAndTheHostTake) {
  host::HostVessel &hv = NewVessel();
  for (auto &k : sim::Keys()) {
    ShuttlePB &v = Ship(hv);
    EXPECT_EQ(v.clbkConsumeBufferedKey(k.code, true, nullptr), *k.action ? 1 : 0) << "key " << k.name;
  }
  EXPECT_EQ(sim::Measure(hv, 0, -1, nullptr).v.size(), sim::Columns().size()) << "a name for every column";
  for (auto &l : host::ScenarioLines()) {
    if (l.block != host::LineBlock::ClassVessel && l.block != host::LineBlock::HostVessel) continue;
    host::ScenarioFile file;
    host::HostVessel &fresh = NewVessel("V" + std::to_string(vessels_.size()), false);
    VESSEL3 *v = host::Callbacks(fresh);
    v->clbkSetClassCaps(nullptr);
    file.lines = {std::string(l.name) + " 1 1 1"};
    v->clbkLoadStateEx(&file, &file);
    if (l.block == host::LineBlock::ClassVessel) {
      EXPECT_TRUE(file.parsed.empty()) << l.name << " is read by the class";
    } else {
      ASSERT_EQ(file.parsed.size(), 1u) << l.name << " goes to the host";
      EXPECT_NE(file.parsed_verdict[0], (int)host::HostLineVerdict::kUnknown) << l.name << " is the host's";
    }
  }
}

TEST(Lists, NearestNamesAreSlipsOnly) {
  const std::vector<std::string> names = {"STATUS", "ALT", "FUEL", "TimeAcc", "key"};
  const std::pair<const char *, const char *> rows[] = {{"STAUS", "STATUS"}, {"FEUL", "FUEL"}, {"timeacc", "TimeAcc"},
                                                        {"Key", "key"},      {"AL", "ALT"},    {"XYZZY", ""},
                                                        {"A", ""},           {"key", ""}};
  for (auto &r : rows) EXPECT_EQ(host::NearestName(r.first, names), r.second) << r.first;
}

}  // namespace
