#include "app/plain_copies.h"

#include <utility>

#include <QClipboard>
#include <QGuiApplication>
#include <QRegularExpression>

#include "core/presentation/unbroken_text.h"

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
