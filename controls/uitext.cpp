#include "controls/uitext.h"

#include <QFile>
#include <QGuiApplication>
#include <QStringDecoder>

namespace tintorel {

QFont WindowFont() {
    QFont font = QGuiApplication::font();
    font.setPointSize(8);
    return font;
}

QString DisplayText(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError()) {
        return text;
    }
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string TextBytes(const QString& text) {
    return text.toStdString();
}

QString FileNameText(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string FileNameBytes(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

} // namespace tintorel
