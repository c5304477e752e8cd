// Files dropped on a window, handed on as the paths of the toolkit's text.
#include "app/wx/path_drop_target.h"

namespace kestrune {

bool PathDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) {
  std::vector<std::string> paths;
  for (const wxString& file : files) paths.emplace_back(file.utf8_str());
  on_drop_(paths);
  return true;
}

}  // namespace kestrune
