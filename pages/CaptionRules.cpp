#include "CaptionRules.h"

#include <algorithm>

#include "CaptionUpload.h"

namespace orv {

namespace {

struct Rule {
  CaptionEditRange range;
  int (*limit)(const CaptionPlace&);
};

// One row per CaptionEdit, in its order.
constexpr Rule kRules[] = {
    {{0, 3840}, [](const CaptionPlace& p) { return p.hreso - p.displayWidth; }},
    {{0, 3840}, [](const CaptionPlace& p) { return p.vreso - p.height; }},
    {{1, 3840}, [](const CaptionPlace& p) { return p.hreso - p.hstart; }},
    {{10, kCaptionMaxWidth}, [](const CaptionPlace& p) { return kCaptionMaxWidth - p.hstart; }},
    {{10, kCaptionMaxHeight}, [](const CaptionPlace& p) { return p.vreso - p.vstart; }},
};

const Rule& RuleOf(CaptionEdit edit) {
  return kRules[static_cast<int>(edit)];
}

}  // namespace

CaptionEditRange RangeOf(CaptionEdit edit) {
  return RuleOf(edit).range;
}

int ClampCaptionEdit(CaptionEdit edit, int value, const CaptionPlace& place) {
  const Rule& rule = RuleOf(edit);
  const int upper = std::min(rule.range.max, rule.limit(place));
  return std::max(rule.range.min, std::min(value, upper));
}

int PreviewDragLimit(int contentWidth, int stripWidth, bool textMode) {
  const int beyond = std::max(0, contentWidth - stripWidth);
  return textMode ? beyond / 2 + 3 : beyond;
}

}  // namespace orv
