// The shape of a dialog template as code reads it; res/dialog_templates.cmake fills it from
// res/KESTRUNE.rc.
#pragma once

namespace kestrune {

// The identifiers a template gives its unnamed labels and its OK button.
constexpr int kTemplateStaticId = -1;
constexpr int kTemplateOkId = 1;

enum class TemplateControlKind {
  kField,
  kButton,
  kDefaultButton,
  kCheckBox,
  kLabel,
  kCentredLabel,
  kIcon
};

// One control, in dialog units.
struct TemplateControl {
  int id;
  TemplateControlKind kind;
  const char* text;  // "" for fields and icons
  int x, y, width, height;
};

// The controls are listed in tab order.
struct DialogTemplate {
  const char* caption;
  int width, height;
  const TemplateControl* controls;
  int control_count;
};

}  // namespace kestrune
