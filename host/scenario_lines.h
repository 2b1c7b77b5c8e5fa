// Every line a scenario file may hold, block by block: the file's blocks,
// the environment and focus lines, the host's lines of a vessel block and
// the Tarvex class's own lines. The readers take their names from here, the
// flight host lists it (--list lines), and docs/scenarios.md is kept equal
// to it by a test.
#pragma once

#include <string>
#include <vector>

namespace host {

enum class LineBlock { File, Environment, Focus, HostVessel, ClassVessel };

// How the Tarvex class reads the value of one of its lines: nothing (the
// rest of the line is not used), a whole number optionally followed by a
// real, or one real.
enum class LineValue { None, WholeThenReal, Real };

struct ScenarioLine {
  LineBlock block;
  const char *name;     // as written; matched without regard to case
  const char *value;    // what follows the name
  const char *range;    // unit, allowed values, default
  const char *meaning;  // what the host (or the vessel) does with it
  LineValue kind;       // for the class's lines
};

const std::vector<ScenarioLine> &ScenarioLines();
// The heading of a block in the lists.
const char *LineBlockTitle(LineBlock b);

// The name among `names` nearest to `word` (letters compared without regard
// to case), or "" when none is near enough to be a slip of the keyboard.
std::string NearestName(const std::string &word, const std::vector<std::string> &names);
// " (did you mean X?)" for the nearest name, or "".
std::string DidYouMean(const std::string &word, const std::vector<std::string> &names);

// Checks a vessel-block line the class would take: the class takes every
// line that begins with one of its names (case aside, even run on into
// further letters), so a line that does so must be that line with a value
// it can read, and nothing after the value. False with `why` set otherwise;
// true for every line the class leaves to the host.
bool CheckClassLine(const std::string &line, std::string &why);

// The names of the lines of one block.
std::vector<std::string> LineNames(LineBlock b);

}  // namespace host
