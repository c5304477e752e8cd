// A template's controls placed in pixels: at the template's places when they fit, else within the
// screen with every text whole and nothing overlapping.
#include "app/common/template_arrangement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "res/dialog_templates.h"

namespace kestrune::test {
namespace {

// A font whose characters are all `width` pixels wide and whose lines are `height` high, with a
// frame of one character around buttons and check boxes.
std::vector<ControlNeeds> NeedsInFont(const DialogTemplate& dialog_template, int width,
                                      int height) {
  std::vector<ControlNeeds> needs;
  for (int i = 0; i < dialog_template.control_count; ++i) {
    const TemplateControl& control = dialog_template.controls[i];
    std::size_t longest = 0;
    int lines = 1;
    std::size_t line = 0;
    for (const char* at = control.text; *at != '\0'; ++at) {
      line = *at == '\n' ? 0 : line + 1;
      lines += *at == '\n';
      longest = std::max(longest, line);
    }
    const int text = static_cast<int>(longest) * width;
    const bool framed = control.kind != TemplateControlKind::kLabel &&
                        control.kind != TemplateControlKind::kCentredLabel;
    ControlNeeds need;
    need.whole = {control.kind == TemplateControlKind::kField ? 0 : text + (framed ? width : 0),
                  lines * height + (framed ? height / 2 : 0)};
    needs.push_back(need);
  }
  return needs;
}

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

struct Screen {
  const DialogTemplate* dialog_template;
  int char_width;
  int char_height;
  PixelSize largest;
};

// Fonts whose dialog units make the template wider, or taller, than these screens allow.
const Screen kScreens[] = {{&kIDD_CONVERT_DIALOG, 16, 40, {1010, 740}},
                           {&kIDD_ABOUTBOX, 16, 40, {1010, 740}},
                           {&kIDD_CONVERT_DIALOG, 16, 40, {700, 500}},
                           {&kIDD_ABOUTBOX, 12, 30, {900, 700}}};

TEST(TemplateArrangement, OnAScreenNarrowerThanTheTemplateEveryTextStaysWholeAndApart) {
  for (const Screen& screen : kScreens) {
    const DialogTemplate& dialog_template = *screen.dialog_template;
    SCOPED_TRACE(testing::Message() << dialog_template.caption << " on " << screen.largest.width);
    const std::vector<ControlNeeds> needs =
        NeedsInFont(dialog_template, screen.char_width, screen.char_height);
    const Arrangement arranged = ArrangeTemplate(
        dialog_template, needs, PixelSize{screen.char_width, screen.char_height}, screen.largest);
    EXPECT_LE(arranged.client.width, screen.largest.width);
    EXPECT_LE(arranged.client.height, screen.largest.height);
    for (std::size_t i = 0; i < arranged.controls.size(); ++i) {
      const PixelRect& place = arranged.controls[i];
      SCOPED_TRACE(dialog_template.controls[i].text);
      EXPECT_GE(place.width, needs[i].whole.width);
      EXPECT_GE(place.height, needs[i].whole.height);
      EXPECT_GE(place.x, 0);
      EXPECT_GE(place.y, 0);
      EXPECT_LE(place.x + place.width, arranged.client.width);
      EXPECT_LE(place.y + place.height, arranged.client.height);
      for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(Overlap(place, arranged.controls[j])) << j;
    }
  }
}

// Where the template fits, each control is where its dialog units put it.
TEST(TemplateArrangement, WhereTheTemplateFitsItsPlacesAreKept) {
  const DialogTemplate& dialog_template = kIDD_CONVERT_DIALOG;
  const std::vector<ControlNeeds> needs(static_cast<std::size_t>(dialog_template.control_count));
  const Arrangement arranged =
      ArrangeTemplate(dialog_template, needs, PixelSize{6, 13}, PixelSize{2000, 2000});
  for (std::size_t i = 0; i < arranged.controls.size(); ++i) {
    const TemplateControl& control = dialog_template.controls[i];
    EXPECT_EQ(arranged.controls[i].x, (control.x * 6 + 2) / 4) << control.text;
    EXPECT_EQ(arranged.controls[i].y, (control.y * 13 + 4) / 8) << control.text;
  }
  EXPECT_EQ(arranged.client.width, (dialog_template.width * 6 + 2) / 4);
}

}  // namespace
}  // namespace kestrune::test
