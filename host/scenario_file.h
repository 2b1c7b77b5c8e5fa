// The stand-in host's scenario file handles: a vessel's block is served line
// by line to the module's load callback, and the save callbacks write lines
// into a block. FILEHANDLE values handed to the module point to these.
#pragma once

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

  // Host lines seen by ParseScenarioLineEx, in order.
  std::vector<std::string> parsed;
};

}  // namespace host
