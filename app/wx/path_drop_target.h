// Files dropped on a window, handed on as the paths of the toolkit's text.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <wx/dnd.h>

namespace kestrune {

// Takes any drop of files and gives their paths, in UTF-8, to on_drop.
class PathDropTarget final : public wxFileDropTarget {
 public:
  explicit PathDropTarget(std::function<void(const std::vector<std::string>&)> on_drop)
      : on_drop_(std::move(on_drop)) {}

  bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& files) override;

 private:
  std::function<void(const std::vector<std::string>&)> on_drop_;
};

}  // namespace kestrune
