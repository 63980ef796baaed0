#pragma once
// The field table of the parameter image: every meaningful field of
// ParamBlock (gaps excluded) with the page group it belongs to, its name, its
// kind and whether the processor owns it. Owned fields are what the processor
// detects or decides by itself (input port types, signals and timings, the
// source sizes the crops keep, the DP split modes, the logo slots holding a
// picture, which layers are on program and preview, the loop-out routing, the
// freeze state and what the expansion board detects); the panel never writes
// them. The group words exist in English and Chinese.
#include <cstdint>
#include <string>
#include <vector>

#include "ParamBlock.h"

namespace orv {

enum class ImageLanguage : uint8_t { English, Chinese };

// Storage and formatting of one field.
enum class FieldKind : uint8_t {
  U8,
  U16,
  I32,
  F32,
  OnOff,       // u8: 0 off, else on
  Hundredths,  // u16 refresh in 1/100 Hz
};

// The pages a group's fields are edited on, in page order (the last one
// holds what only the processor sets).
enum class ImagePage : uint8_t {
  Layers,
  Picture,
  Output,
  Mosaic,
  Switcher,
  Keyer,
  Crop,
  Logo,
  Edid,
  Tasks,
  Strip,
  Inputs,
};

enum class GroupKind : uint8_t {
  LayerWindow,  // index = layer
  LayerInput,
  LayerOnOff,
  Picture,
  InputPicture,  // index = 4g + layer
  Output,
  Mosaic,
  PreviewMode,
  Keyer,  // index = keyer
  InputCrop,
  Logo,
  Edid,  // index = EDID slot
  TaskSwitch,
  Task,  // index = task
  Sync,
  LoopOut,
  Freeze,
  Board,
  InputSlot,  // index = slot
  DpMode,
};

struct ImageGroup {
  GroupKind kind;
  int index;
};

struct ImageField {
  uint16_t offset;
  uint8_t size;
  FieldKind kind;
  int group;            // index into ImageGroups()
  std::string name;     // the image's own name, array elements with their index appended
  bool summary;         // shown in the group's summary words
  bool processorOwned;  // the processor's: the panel never writes it
};

// Groups in page order; fields in image order.
const std::vector<ImageGroup>& ImageGroups();
const std::vector<ImageField>& ImageFields();

ImagePage PageOf(int group);
std::string PageName(ImagePage page, ImageLanguage language);
// "Output", "PIP-1 window", "Keyer 1" ...
std::string GroupName(int group, ImageLanguage language);
// The group's summary in `image` ("1920x1080 60 Hz"); "" for groups without one.
std::string GroupSummary(int group, const ParamBlock& image, ImageLanguage language);
std::string FieldValue(const ImageField& field, const ParamBlock& image, ImageLanguage language);

struct GroupChange {
  int group = 0;
  std::vector<int> fields;  // indices into ImageFields()
  std::string words;        // "Keyer 1: off → on"
};

struct ImageDiff {
  std::vector<GroupChange> changes;           // fields the panel writes, page order
  std::vector<GroupChange> processorChanges;  // fields the processor owns, page order
};

// What changes when `after` replaces `before`, group by group.
ImageDiff DiffImages(const ParamBlock& before, const ParamBlock& after,
                     ImageLanguage language = ImageLanguage::English);

// The language of the panel's language name ("Chinese" or anything else).
ImageLanguage ImageLanguageOf(const std::string& languageName);

}  // namespace orv
