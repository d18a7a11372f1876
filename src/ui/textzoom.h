// Zooming a text area's text with Ctrl+wheel, Ctrl+plus and Ctrl+minus, for the
// time the window is open (the size is not stored).
#pragma once

class QPlainTextEdit;

namespace lorimand {

void enableTextZoom(QPlainTextEdit &area);

} // namespace lorimand
