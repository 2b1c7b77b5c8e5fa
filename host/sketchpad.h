// A drawing surface that records what is drawn on it, so tests and the
// flight host read what a pilot would see on the HUD.
#pragma once

#include <string>
#include <vector>

#include "module/orbiter_api.h"

namespace host {

class RecordingSketchpad : public oapi::Sketchpad {
 public:
  struct TextItem {
    int x, y;
    std::string text;  // the characters passed, `len` of them
    int len;
  };
  struct Shape {
    std::string kind;  // "line", "rectangle", "ellipse"
    int x0, y0, x1, y1;
  };

  bool Text(int x, int y, const char *str, int len) override;
  void Line(int x0, int y0, int x1, int y1) override;
  void Rectangle(int x0, int y0, int x1, int y1) override;
  void Ellipse(int x0, int y0, int x1, int y1) override;

  void Clear() {
    texts.clear();
    shapes.clear();
  }
  // True when some text drawn equals `s`.
  bool HasText(const std::string &s) const;

  std::vector<TextItem> texts;
  std::vector<Shape> shapes;
};

}  // namespace host
