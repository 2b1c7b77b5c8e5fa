// Files the flight host writes (telemetry, chart, trace, saved scenarios),
// written so that nothing is lost: the text goes to a temporary file in the
// target's folder, which is flushed, synced and closed with every result
// checked, then renamed over the target. A failure leaves the previous file
// untouched and says why. A replaced file keeps its mode (and its owner and
// group where the user may give them); a read-only one is refused and kept.
// A target that exists and is not a regular file (a device such as
// /dev/null) is written in place, still with every result checked.
#pragma once

#include <cstdio>
#include <string>

namespace sim {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // abandons an uncommitted file: the temporary goes, the target stays
  OutputFile(const OutputFile &) = delete;
  OutputFile &operator=(const OutputFile &) = delete;

  // Starts writing `path`; `make_folders` creates its missing folders first.
  // False with `error` set when it cannot be written.
  bool Open(const std::string &path, bool make_folders, std::string &error);
  // The stream to write to while open (null otherwise).
  std::FILE *Stream() const { return f_; }
  bool IsOpen() const { return f_ != nullptr; }
  // Finishes the file and puts it in place; false with `error` set (the
  // reason included) when any write, the flush, sync, close or rename failed.
  bool Commit(std::string &error);
  // Drops the file written so far; the target keeps its previous content.
  void Abandon();

 private:
  std::FILE *f_ = nullptr;
  std::string path_, temp_;  // temp_ empty: written in place
};

// Writes `text` to `path` the same way, in one go.
bool WriteOutput(const std::string &path, const std::string &text, bool make_folders, std::string &error);

}  // namespace sim
