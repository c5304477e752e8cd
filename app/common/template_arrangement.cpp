// Places a dialog template's controls in pixels so that every text shows whole and the dialog
// fits the screen, whatever the font's size.
#include "app/common/template_arrangement.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace kestrune {

namespace {

// A field keeps room for this many units of its text, however narrow the dialog must be.
constexpr int kFieldLeastUnits = 60;
// The margins shrink to no less than this many units; a control that grows past its template
// size may take the space beside it down to the least gap.
constexpr int kLeastMarginUnits = 2;
constexpr int kLeastGapUnits = 1;
// Halving the scale this often finds the largest that fits to well within a pixel.
constexpr int kScaleSteps = 24;

// One direction's dialog units in pixels, shrunk by a scale (1: the font's own units).
struct Axis {
  int base;   // pixels per `units` units
  int units;  // 4 across, 8 down
  double scale;

  int Pixels(int count) const {
    return static_cast<int>(std::lround(count * base * scale / units));
  }
  int Whole(int count) const { return static_cast<int>(std::lround(count * base / double(units))); }
  // The margin the template leaves between a control's end and the dialog's, as the toolkit
  // converts places and sizes each on its own, shrunk no further than the least margin.
  int Margin(int start, int length, int next) const {
    const int scaled = Pixels(next) - Pixels(start) - Pixels(length);
    const int whole = Whole(next) - Whole(start) - Whole(length);
    return std::max({scaled, std::min(whole, Whole(kLeastMarginUnits)), 0});
  }
  // What a grown control must leave free before the next: the least gap, or the template's
  // space when that is less.
  int Gap(int start, int length, int next) const {
    const int scaled = Pixels(next) - Pixels(start) - Pixels(length);
    return std::max(std::min(scaled, Whole(kLeastGapUnits)), 0);
  }
};

struct Span {
  int start = 0;
  int length = 0;
  int end() const { return start + length; }
};

bool IsLabel(TemplateControlKind kind) {
  return kind == TemplateControlKind::kLabel || kind == TemplateControlKind::kCentredLabel;
}

bool Overlap(int start, int length, int other_start, int other_length) {
  return start < other_start + other_length && other_start < start + length;
}

std::vector<std::size_t> OrderBy(const DialogTemplate& dialog_template,
                                 int TemplateControl::*coordinate) {
  std::vector<std::size_t> order(static_cast<std::size_t>(dialog_template.control_count));
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return dialog_template.controls[a].*coordinate < dialog_template.controls[b].*coordinate;
  });
  return order;
}

// The rightmost and bottom edge any control of the template reaches, in units.
int FarthestRight(const DialogTemplate& dialog_template) {
  int right = 0;
  for (int i = 0; i < dialog_template.control_count; ++i) {
    right = std::max(right, dialog_template.controls[i].x + dialog_template.controls[i].width);
  }
  return right;
}

int FarthestDown(const DialogTemplate& dialog_template) {
  int bottom = 0;
  for (int i = 0; i < dialog_template.control_count; ++i) {
    bottom = std::max(bottom, dialog_template.controls[i].y + dialog_template.controls[i].height);
  }
  return bottom;
}

// Where a control may start: past the margin and, by the gap, past each control left of it in
// its row.
int StartAfterLeftNeighbours(const DialogTemplate& dialog_template, std::size_t b,
                             const std::vector<Span>& columns, const Axis& axis) {
  const TemplateControl& control = dialog_template.controls[b];
  int start = axis.Margin(0, 0, control.x);
  for (std::size_t a = 0; a < columns.size(); ++a) {
    const TemplateControl& other = dialog_template.controls[a];
    if (other.x + other.width <= control.x &&
        Overlap(other.y, other.height, control.y, control.height)) {
      start = std::max(start, columns[a].end() + axis.Gap(other.x, other.width, control.x));
    }
  }
  return start;
}

Span ColumnFrom(const TemplateControl& control, const ControlNeeds& needs, int start,
                const Axis& axis) {
  const int length = axis.Pixels(control.width);
  if (control.kind != TemplateControlKind::kField) {
    return Span{start, std::max(length, needs.whole.width)};
  }
  // A field gives up width to keep its right edge, down to its least.
  const int least = std::min(axis.Whole(control.width), axis.Whole(kFieldLeastUnits));
  return Span{start, std::max(axis.Pixels(control.x) + length - start, least)};
}

// Each control's columns, pushed right past the controls left of it in its row; controls that
// start alike in the template start alike here, so that pushed fields stay aligned.
std::vector<Span> PlaceColumns(const DialogTemplate& dialog_template,
                               const std::vector<ControlNeeds>& needs, const Axis& axis) {
  std::vector<Span> columns(needs.size());
  const std::vector<std::size_t> order = OrderBy(dialog_template, &TemplateControl::x);
  for (auto group = order.begin(); group != order.end();) {
    const int x = dialog_template.controls[*group].x;
    const auto group_end = std::find_if(
        group, order.end(), [&](std::size_t i) { return dialog_template.controls[i].x != x; });
    int start = 0;
    for (auto b = group; b != group_end; ++b) {
      start = std::max(start, StartAfterLeftNeighbours(dialog_template, *b, columns, axis));
    }
    for (auto b = group; b != group_end; ++b) {
      columns[*b] = ColumnFrom(dialog_template.controls[*b], needs[*b], start, axis);
    }
    group = group_end;
  }
  return columns;
}

int ClientWidth(const DialogTemplate& dialog_template, const std::vector<Span>& columns,
                const Axis& axis) {
  const int right = FarthestRight(dialog_template);
  int width = axis.Pixels(dialog_template.width);
  const int margin = axis.Margin(right, 0, dialog_template.width);
  for (const Span& column : columns) width = std::max(width, column.end() + margin);
  return width;
}

// Labels that reach the template's right margin reach the client's; past the largest width,
// labels end at its margin.
void FitLabelsToWidth(const DialogTemplate& dialog_template, const Axis& axis, int width,
                      std::vector<Span>* columns) {
  const int right = FarthestRight(dialog_template);
  const int end = width - axis.Margin(right, 0, dialog_template.width);
  for (std::size_t i = 0; i < columns->size(); ++i) {
    const TemplateControl& control = dialog_template.controls[i];
    Span& column = (*columns)[i];
    if (!IsLabel(control.kind)) continue;
    if (column.end() > end) {
      column.length = std::max(1, end - column.start);
    } else if (control.x + control.width == right) {
      column.length = end - column.start;
    }
  }
}

int HeightNeeded(const ControlNeeds& needs, const Span& column) {
  if (needs.height_at_width && column.length < needs.whole.width) {
    return needs.height_at_width(column.length);
  }
  return needs.whole.height;
}

// Each control's rows: pushed down past the controls above it that share any of its columns.
std::vector<Span> PlaceRows(const DialogTemplate& dialog_template,
                            const std::vector<ControlNeeds>& needs,
                            const std::vector<Span>& columns, const Axis& axis) {
  std::vector<Span> rows(needs.size());
  for (const std::size_t b : OrderBy(dialog_template, &TemplateControl::y)) {
    const TemplateControl& control = dialog_template.controls[b];
    int start = axis.Margin(0, 0, control.y);
    for (std::size_t a = 0; a < needs.size(); ++a) {
      const TemplateControl& other = dialog_template.controls[a];
      if (other.y >= control.y ||
          !Overlap(columns[a].start, columns[a].length, columns[b].start, columns[b].length)) {
        continue;
      }
      start = std::max(start, rows[a].end() + axis.Gap(other.y, other.height, control.y));
    }
    rows[b] =
        Span{start, std::max(axis.Pixels(control.height), HeightNeeded(needs[b], columns[b]))};
  }
  return rows;
}

int ClientHeight(const DialogTemplate& dialog_template, const std::vector<Span>& rows,
                 const Axis& axis) {
  const int bottom = FarthestDown(dialog_template);
  int height = axis.Pixels(dialog_template.height);
  const int margin = axis.Margin(bottom, 0, dialog_template.height);
  for (const Span& row : rows) height = std::max(height, row.end() + margin);
  return height;
}

// The largest scale, 1 at most, at which extent fits within largest; 0 when none does.
template <typename Extent>
double FittingScale(Extent extent, int largest) {
  if (extent(1.0) <= largest) return 1.0;
  double fits = 0.0;
  double too_large = 1.0;
  for (int step = 0; step < kScaleSteps; ++step) {
    const double middle = (fits + too_large) / 2;
    (extent(middle) <= largest ? fits : too_large) = middle;
  }
  return fits;
}

}  // namespace

Arrangement ArrangeTemplate(const DialogTemplate& dialog_template,
                            const std::vector<ControlNeeds>& needs, PixelSize base,
                            PixelSize largest) {
  const auto across = [&](double scale) { return Axis{base.width, 4, scale}; };
  const auto down = [&](double scale) { return Axis{base.height, 8, scale}; };
  const Axis columns_axis = across(FittingScale(
      [&](double scale) {
        return ClientWidth(dialog_template, PlaceColumns(dialog_template, needs, across(scale)),
                           across(scale));
      },
      largest.width));
  std::vector<Span> columns = PlaceColumns(dialog_template, needs, columns_axis);
  Arrangement arranged;
  arranged.client.width =
      std::min(ClientWidth(dialog_template, columns, columns_axis), std::max(largest.width, 1));
  FitLabelsToWidth(dialog_template, columns_axis, arranged.client.width, &columns);
  const Axis rows_axis = down(FittingScale(
      [&](double scale) {
        return ClientHeight(dialog_template,
                            PlaceRows(dialog_template, needs, columns, down(scale)), down(scale));
      },
      largest.height));
  const std::vector<Span> rows = PlaceRows(dialog_template, needs, columns, rows_axis);
  arranged.client.height = ClientHeight(dialog_template, rows, rows_axis);
  for (std::size_t i = 0; i < needs.size(); ++i) {
    arranged.controls.push_back(
        PixelRect{columns[i].start, rows[i].start, columns[i].length, rows[i].length});
  }
  return arranged;
}

}  // namespace kestrune
