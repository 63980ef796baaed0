#pragma once
// SDL owns the pixels of a preview window and Qt neither paints nor clears
// them, so an uncovered part (where the wait box or a menu was) keeps what
// covered it until the next picture. While the output is frozen no picture
// comes: the window presents its last picture again whenever it is exposed.
class QWidget;

namespace orv::preview {

class SdlTarget;

// Lives as long as `window`; `target` must outlive it.
void RepaintOnExpose(QWidget* window, SdlTarget* target);

}  // namespace orv::preview
