// Names for display lists. The generators label the lists they compile with
// the names their parts have ("Ramo", "Foglie", "Chioma", ...), so tools can
// report how often each component ran. Labels cost one map entry per list
// and change nothing in what is drawn.
#pragma once

#include <map>
#include <string>

#include "render/gl.h"

void LabelList(GLuint list, const std::string& name);
// The label of a list, or an empty string.
std::string ListLabel(GLuint list);
const std::map<GLuint, std::string>& ListLabels();
void ClearListLabels();
