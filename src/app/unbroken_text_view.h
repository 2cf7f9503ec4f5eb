#pragma once
// The windows keep paths and commands whole (see unbroken_text.h): Qt is
// shown them with no-break spaces and word joiners, a window is made wide
// enough for the widest of them, and what a worker copies from it, by
// Ctrl+C or by selecting, is the text as it was made.
#include <string_view>

#include <QFontMetrics>
#include <QString>

class QLabel;

namespace bladeway {

// A text whose paths and commands Qt's line breaking must not split.
QString UnbrokenViewText(std::string_view text);

// The width of the text's widest path or command in `metrics`' font.
int WidestUnbrokenWidth(const QFontMetrics& metrics, std::string_view text);

// The label at least `width` pixels wide, up to the width of the screen it
// is on.
void KeepWideEnough(QLabel& label, int width);

// Shows `text` in `label` kept whole, the label at least as wide as its
// widest path or command, up to the width of the screen it is on: a window
// cannot then be made so narrow that one is cut.
void ShowUnbroken(QLabel& label, std::string_view text);

// From now on each copy the program makes to the clipboard, or to the
// selection where the system has one, is cleaned of those marks.
void KeepCopiesPlain();

}  // namespace bladeway
