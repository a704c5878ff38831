#include "plants/labels.h"

namespace {
std::map<GLuint, std::string>& Labels() {
  static std::map<GLuint, std::string> labels;
  return labels;
}
}  // namespace

void LabelList(GLuint list, const std::string& name) { Labels()[list] = name; }

std::string ListLabel(GLuint list) {
  auto it = Labels().find(list);
  return it == Labels().end() ? std::string() : it->second;
}

const std::map<GLuint, std::string>& ListLabels() { return Labels(); }

void ClearListLabels() { Labels().clear(); }
