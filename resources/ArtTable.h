#pragma once
// The table of every picture delivered with the program: number, resource
// type, size, how it is drawn, and a label. The generator draws each row; the
// registry maps each row to its file in the resource bundle. A new picture is
// one new row (and, for a new look, one new kind in ArtPainter).
#include <span>

namespace orv::art {

// Resource types are separate name spaces, as in the desktop toolkit: a PNG
// and a bitmap may carry the same number.
enum class ArtType { Png, Bitmap, Gif, Icon };

enum class ArtKind {
  PageBackground,
  TitleClose,
  TitleMaximise,
  TitleRestore,
  FaceNormal,  // grey rounded face with transparent corners
  FaceActive,  // orange rounded face
  FaceDark,    // darker face (unselected tabs)
  SwitchOff,
  SwitchOn,
  PortNormal,  // input slot picture with the port's label
  PortSelected,
  SignalPresent,
  SignalAbsent,
  LampOff,
  LampOn,
  ChannelH,
  ChannelActiveH,
  ThumbH,
  ThumbActiveH,
  ChannelV,
  ChannelActiveV,
  ThumbV,
  ThumbActiveV,
  CheckerLight,
  CheckerDark,
  WaitAnimation,
  AppIcon,
};

struct ArtRow {
  int id;
  ArtType type;
  int width;
  int height;
  ArtKind kind;
  const char* label;  // text drawn into the picture (port kinds) or a description
};

std::span<const ArtRow> ArtTable();
const ArtRow* FindArt(ArtType type, int id);
// Folder and file name extension of a type inside the bundle ("png", "bmp" ...).
const char* ArtFolder(ArtType type);
const char* ArtExtension(ArtType type);

}  // namespace orv::art
