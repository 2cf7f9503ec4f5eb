#include "qt_views/path_text.h"

#include <QByteArray>
#include <QFile>

namespace bladeway {

QString FolderToText(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string FolderToBytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

}  // namespace bladeway
