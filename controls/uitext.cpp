#include "controls/uitext.h"

#include <QFile>
#include <QStringDecoder>

namespace tintorel {

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

QString CaptionWithoutMarkers(const QString& caption) {
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            ++i; // the marker goes, the character after it stays ("&&" is one "&")
            if (i == caption.size()) {
                break;
            }
        }
        shown.append(caption[i]);
    }
    return shown;
}

std::string CodeFieldBytes(const QString& text) {
    std::string bytes;
    for (const char32_t c : text.toUcs4()) {
        bytes.push_back(c < 0x80 ? static_cast<char>(c) : '\x80');
    }
    return bytes;
}

QString FileNameText(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string FileNameBytes(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

} // namespace tintorel
