#pragma once
class QLineEdit;

namespace korvane {

class ResultList;

// The list's click handler: the selected row's magnet link goes into the keyword box, replacing
// what it held, and what the box then holds goes to OpenAddress. No selected row empties the box.
void OpenSelectedLink(ResultList& list, QLineEdit& keywordBox);

}  // namespace korvane
