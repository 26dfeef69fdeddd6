#include "resultlist/OpenSelectedLink.h"

#include <QLineEdit>

#include "resultlist/OpenAddress.h"
#include "resultlist/ResultList.h"
#include "resultlist/WidgetText.h"

namespace korvane {

void OpenSelectedLink(ResultList& list, QLineEdit& keywordBox) {
  const int row = list.SelectedRow();
  const Text link = list.GetCellText(row, ResultList::kMagnetColumn);
  keywordBox.setText(ToWidgetText(link));
  // Replacing an edit box's text puts the caret at its start, so the box shows the link's scheme.
  keywordBox.setCursorPosition(0);
  OpenAddress(FromWidgetText(keywordBox.text()));
}

}  // namespace korvane
