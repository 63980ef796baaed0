#pragma once
// The pictures delivered with the program, found by type and number. Every
// lookup of a number the bundle lacks is remembered, so that tests (and the
// gallery) can fail on a missing picture instead of showing a blank button.
#include <utility>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "ArtIds.h"
#include "ArtTable.h"

namespace orv {

using art::ArtType;

// Qt resource path of the picture (":/orv/png/107.png"), or empty when the
// table has no such picture (the lookup is then recorded as missing).
QString ResourcePath(ArtType type, int id);
bool HasResource(ArtType type, int id);
// The stored bytes, empty (and recorded) when missing.
QByteArray LoadResourceBytes(ArtType type, int id);
// The decoded picture, null (and recorded) when missing or undecodable.
QImage LoadResourceImage(ArtType type, int id);

// Numbers asked for and not found, in the order asked, without repeats.
std::vector<std::pair<ArtType, int>> MissingResources();
void ClearMissingResources();

}  // namespace orv
