#include "app/unbroken_text_view.h"

#include <algorithm>
#include <utility>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>

#include "core/os/tool_command.h"
#include "core/presentation/unbroken_text.h"
#include "qt_views/design_controls.h"

namespace bladeway {
namespace {

// Only texts with a word joiner after a folder separator or a hyphen, as a
// window of the program shows them: copied from one of its windows (the
// system does not always tell which program made a copy).
void Clean(QClipboard* clipboard, QClipboard::Mode mode) {
    const QString text = clipboard->text(mode);
    static const QRegularExpression kShownPath(QStringLiteral("[/\\\\-]\\x{2060}"));
    if (!text.contains(kShownPath))
        return;
    clipboard->setText(QString::fromStdString(CopiedText(text.toStdString())), mode);
}

}  // namespace

QString UnbrokenViewText(std::string_view text) {
    return ViewText(ShownUnbroken(text, KeptWhole::kSpacesAndMarks));
}

int WidestUnbrokenWidth(const QFontMetrics& metrics, std::string_view text) {
    int widest = 0;
    for (const TextSpan& span : PathAndCommandSpans(text, ToolCommand()))
        widest = std::max(widest, metrics.horizontalAdvance(
                                      ViewText(text.substr(span.begin, span.end - span.begin))));
    return widest;
}

void KeepWideEnough(QLabel& label, int width) {
    const QScreen* shownOn = label.screen();
    const int most = shownOn != nullptr ? shownOn->availableGeometry().width() - 64 : 0;
    label.setMinimumWidth(most > 0 ? std::min(width, most) : width);
}

void ShowUnbroken(QLabel& label, std::string_view text) {
    label.setText(UnbrokenViewText(text));
    KeepWideEnough(label, WidestUnbrokenWidth(label.fontMetrics(), text));
}

void KeepCopiesPlain() {
    static bool kept = false;
    if (std::exchange(kept, true))
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    QObject::connect(clipboard, &QClipboard::dataChanged, clipboard,
                     [clipboard] { Clean(clipboard, QClipboard::Clipboard); });
    QObject::connect(clipboard, &QClipboard::selectionChanged, clipboard,
                     [clipboard] { Clean(clipboard, QClipboard::Selection); });
}

}  // namespace bladeway
