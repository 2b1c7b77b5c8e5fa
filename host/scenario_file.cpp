#include "host/scenario_file.h"

#include <istream>
#include <ostream>

namespace host {

bool ReadVesselBlock(std::istream &in, ScenarioFile &file) {
  file.lines.clear();
  file.next = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    size_t stop = line.find_last_not_of(" \t");
    if (start != std::string::npos && line.compare(start, stop + 1 - start, "END") == 0) return true;
    file.lines.push_back(line);
  }
  return false;
}

void WriteVesselBlock(std::ostream &out, const ScenarioFile &file) {
  for (const std::string &line : file.written) out << line << '\n';
  out << "END\n";
}

}  // namespace host
