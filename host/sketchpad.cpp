#include "host/sketchpad.h"

#include <cstring>

#include "host/world.h"

namespace host {

bool RecordingSketchpad::Text(int x, int y, const char *str, int len) {
  std::string s;
  if (str && len > 0) s.assign(str, strnlen(str, (size_t)len));
  if (world().trace.enabled)
    world().trace.Add("", "Sketchpad::Text",
                      Args(std::to_string(x), std::to_string(y), Str(s.c_str()), std::to_string(len)));
  texts.push_back(TextItem{x, y, s, len});
  return true;
}

void RecordingSketchpad::Line(int x0, int y0, int x1, int y1) { shapes.push_back(Shape{"line", x0, y0, x1, y1}); }
void RecordingSketchpad::Rectangle(int x0, int y0, int x1, int y1) {
  shapes.push_back(Shape{"rectangle", x0, y0, x1, y1});
}
void RecordingSketchpad::Ellipse(int x0, int y0, int x1, int y1) {
  if (world().trace.enabled)
    world().trace.Add("", "Sketchpad::Ellipse",
                      Args(std::to_string(x0), std::to_string(y0), std::to_string(x1), std::to_string(y1)));
  shapes.push_back(Shape{"ellipse", x0, y0, x1, y1});
}

bool RecordingSketchpad::HasText(const std::string &s) const {
  for (auto &t : texts)
    if (t.text == s) return true;
  return false;
}

}  // namespace host
