// The stand-in host's scenario file handles: a vessel's block is served line
// by line to the module's load callback, and the save callbacks write lines
// into a block. FILEHANDLE values handed to the module point to these.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace host {

struct ScenarioFile {
  // Reading: the lines of one vessel block, without the closing "END".
  std::vector<std::string> lines;
  size_t next = 0;
  std::string current;  // the line last handed out; the module may edit it in place

  // Writing: the lines written, in order, as the file would hold them.
  std::vector<std::string> written;

  // Host lines seen by ParseScenarioLineEx, in order; for each the index in
  // `lines` of the line last handed out when it came, and how the host took
  // it (a HostLineVerdict and, when refused, why).
  std::vector<std::string> parsed;
  std::vector<size_t> parsed_from;
  std::vector<int> parsed_verdict;
  std::vector<std::string> parsed_why;
};

// Reads a vessel block from scenario text into `file.lines`: every line up to
// the closing "END" (compared without surrounding blanks or a carriage return),
// lines of any length kept whole. False when the text ends before "END"; the
// lines read so far are kept.
bool ReadVesselBlock(std::istream &in, ScenarioFile &file);

// Writes the lines of `file.written` and the closing "END".
void WriteVesselBlock(std::ostream &out, const ScenarioFile &file);

}  // namespace host
