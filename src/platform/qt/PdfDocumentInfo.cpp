#include "PdfDocumentInfo.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <stdexcept>

namespace tessaran::platform {

namespace {

// A text string in UTF-16BE with its byte-order mark, written in hexadecimal: any character,
// nothing to escape.
QByteArray pdfText(const std::string& utf8) {
    QByteArray bytes("\xFE\xFF", 2);
    for (const QChar unit : QString::fromStdString(utf8)) {
        bytes.append(static_cast<char>(unit.unicode() >> 8));
        bytes.append(static_cast<char>(unit.unicode() & 0xFF));
    }
    return '<' + bytes.toHex().toUpper() + '>';
}

// The number after `key` in the trailer ("/Size 42" gives 42), or -1.
qint64 numberAfter(const QByteArray& text, const char* key) {
    const auto match = QRegularExpression(QString::fromLatin1(key) + QStringLiteral("\\s+(\\d+)"))
                           .match(QString::fromLatin1(text));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

// The creation date the writer recorded, kept so that the update does not change it.
QByteArray creationDate(const QByteArray& head) {
    const auto match = QRegularExpression(QStringLiteral("/CreationDate\\s*\\((D:[^)]*)\\)")).match(QString::fromLatin1(head));
    if (match.hasMatch()) return match.captured(1).toLatin1();
    return "D:" + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + 'Z';
}

}  // namespace

void appendPdfDocumentInfo(const std::string& path, const DocumentInfo& info) {
    const auto fail = [&path](const char* what) {
        return std::runtime_error(std::string(what) + " \"" + path + "\"");
    };
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadWrite)) throw fail("cannot reopen the PDF file");
    // The writer puts its information dictionary at the head of the file and the trailer at
    // its end: a few kilobytes of each are read, whatever the number of pages.
    constexpr qint64 kSpan = 4096;
    const QByteArray head = file.read(kSpan);
    const qint64 end = file.size();
    if (!file.seek(std::max<qint64>(0, end - kSpan))) throw fail("cannot read the PDF file");
    const QByteArray tail = file.read(kSpan);
    const qsizetype trailerAt = tail.lastIndexOf("trailer");
    const qsizetype startxrefAt = tail.lastIndexOf("startxref");
    if (trailerAt < 0 || startxrefAt < trailerAt) throw fail("no trailer in the PDF file");
    const QByteArray trailer = tail.mid(trailerAt, startxrefAt - trailerAt);
    const qint64 size = numberAfter(trailer, "/Size");
    const qint64 root = numberAfter(trailer, "/Root");
    const qint64 previous = numberAfter(tail.mid(startxrefAt), "startxref");
    if (size <= 0 || root <= 0 || previous <= 0) throw fail("an unreadable trailer in the PDF file");
    if (!file.seek(end)) throw fail("cannot write the PDF file");

    QByteArray update;
    if (!tail.endsWith('\n')) update += '\n';
    const qint64 objectAt = end + update.size();
    update += QByteArray::number(size) + " 0 obj\n<<\n";
    update += "/Title " + pdfText(info.title) + "\n";
    update += "/Subject " + pdfText(info.subject) + "\n";
    update += "/Creator " + pdfText(info.creator) + "\n";
    update += "/Producer " + pdfText("Qt " QT_VERSION_STR) + "\n";
    update += "/CreationDate (" + creationDate(head) + ")\n>>\nendobj\n";
    const qint64 xrefAt = end + update.size();
    // Cross-reference entries are exactly 20 bytes each.
    update += "xref\n" + QByteArray::number(size) + " 1\n" +
              QByteArray::number(objectAt).rightJustified(10, '0') + " 00000 n \n";
    update += "trailer\n<<\n/Size " + QByteArray::number(size + 1) + "\n/Info " + QByteArray::number(size) +
              " 0 R\n/Root " + QByteArray::number(root) + " 0 R\n/Prev " + QByteArray::number(previous) +
              "\n>>\nstartxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
    if (file.write(update) != update.size() || !file.flush()) throw fail("cannot write the PDF file");
}

}  // namespace tessaran::platform
