#include "filetype.h"

#include <QFile>
#include <QFileInfo>

#include <initializer_list>
#include <optional>

namespace harvly {

namespace {

constexpr qint64 kHeadBytes = 10240;

struct Signature {
    int offset;
    std::initializer_list<unsigned char> bytes;
};

// The header with one zero byte after it. Comparing beyond that byte is an error that ends
// identification with "", as for a file too short for a row reached before a match.
class Header
{
public:
    explicit Header(const QByteArray &head) : m_bytes(head + '\0') {}
    // nullopt: the row reads past the buffer.
    std::optional<bool> matches(std::initializer_list<Signature> parts) const
    {
        bool all = true;
        for (const Signature &s : parts) {
            const int last = s.offset + int(s.bytes.size()) - 1;
            if (last >= m_bytes.size()) {
                return std::nullopt;
            }
            int i = s.offset;
            for (const unsigned char b : s.bytes) {
                all = all && static_cast<unsigned char>(m_bytes.at(i++)) == b;
            }
        }
        return all;
    }

private:
    QByteArray m_bytes;
};

struct Row {
    std::initializer_list<Signature> parts;
    const char *type;
};

// The signature table, in its order; the OLE row follows it separately.
const Row kRows[] = {
    {{{0, {0x25, 0x50, 0x44, 0x46}}}, "pdf"},
    {{{0, {0xC8, 0x00, 0x00, 0x00}}}, "caj"},
    {{{0, {0x43, 0x41, 0x4A, 0x00}}}, "kdh"},
    {{{0, {0x4B, 0x44, 0x48, 0x20}}}, "kdh"},
    {{{0, {0x48, 0x4E, 0x00, 0x00}}}, "nh"},
    {{{0, {0x49, 0x49, 0x2A, 0x00}}}, "tif"},
    {{{0, {0x4D, 0x5A}}}, "exe"},
    {{{0, {0x52, 0x61, 0x72, 0x21}}}, "rar"},
    {{{0, {0x50, 0x4B, 0x03, 0x04, 0x14, 0x00, 0x00, 0x00, 0x08}}}, "zip"},
    {{{0, {0x50, 0x4B, 0x03, 0x04, 0x14, 0x00, 0x06, 0x00, 0x08, 0x00}}}, "docx"},
    {{{0, {0x43, 0x57, 0x53, 0x06}}}, "swf"},
    {{{0, {0x2E, 0x52, 0x4D, 0x46}}}, "rm"},
    {{{0, {0x30, 0x26, 0xB2, 0x75, 0x8E}}}, "wma"},
    {{{0, {0x49, 0x44, 0x33, 0x03}}}, "mp3"},
    {{{0, {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}}}, "png"},
    {{{0, {0x47, 0x49, 0x46, 0x38, 0x37, 0x61}}}, "gif"}, // GIF87a
    {{{0, {0x47, 0x49, 0x46, 0x38, 0x39, 0x61}}}, "gif"}, // GIF89a
    {{{0, {0xFF, 0xD8, 0xFF, 0xE1}}, {6, {0x45, 0x78, 0x69, 0x66}}, {12, {0x4D, 0x4D, 0x00, 0x2A}}},
     "jpg"},
    {{{0, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10}}, {6, {0x4A, 0x46, 0x49, 0x46}}}, "jpg"},
};

// nullopt: identification ends with "" (a row read past the file).
std::optional<QString> signatureType(const Header &h)
{
    for (const Row &row : kRows) {
        const std::optional<bool> m = h.matches(row.parts);
        if (!m) {
            return std::nullopt;
        }
        if (*m) {
            return QString::fromLatin1(row.type);
        }
    }
    const std::optional<bool> ole =
        h.matches({{0, {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1}}});
    if (!ole) {
        return std::nullopt;
    }
    if (*ole) {
        const auto doc = h.matches({{512, {0xEC, 0xA5, 0xC1, 0x00}}});
        const auto xls = h.matches({{512, {0x09, 0x08, 0x10, 0x00}}});
        const auto ppt = h.matches({{515, {0xF0}}});
        if (!doc || !xls || !ppt) {
            return std::nullopt;
        }
        if (*doc) {
            return QStringLiteral("doc");
        }
        if (*xls) {
            return QStringLiteral("xls");
        }
        if (*ppt) {
            return QStringLiteral("ppt");
        }
    }
    return QString();
}

bool containsAny(const QByteArray &text, std::initializer_list<const char *> words)
{
    for (const char *w : words) {
        if (text.contains(w)) {
            return true;
        }
    }
    return false;
}

} // namespace

QString IdentifyFileContent(const QByteArray &head, qint64 length, const QByteArray &tail)
{
    const std::optional<QString> found = signatureType(Header(head));
    if (!found) {
        return {};
    }
    QString type = *found;
    if (type.isEmpty() && length > 128 && tail.startsWith("TAG")) {
        type = QStringLiteral("mp3");
    }
    if (type.isEmpty() && length / 1024.0 < 200) {
        const QByteArray text = head.toLower();
        if ((text.contains("<html ") || text.contains("html>")) &&
            containsAny(text, {"<title>", "<head>", "<body>"})) {
            type = QStringLiteral("htm");
        }
    }
    if (type.isEmpty() && length / 1024.0 < 3) {
        const QByteArray text = head.toUpper(); // a file this small is wholly in the header
        bool all = true;
        for (const char *marker :
             {"A1=", "[TARGET]", "A2=", "B1=", "B2=", "C1=", "C2=", "D1=", "D2=", "DOCTYPE="}) {
            all = all && text.contains(marker);
        }
        if (all) {
            type = QStringLiteral("caa");
        }
    }
    return type.toLower();
}

QString OpenFileToAnalyzingFileType(const QString &path)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly) || QFileInfo(f).isDir()) {
        return {};
    }
    const qint64 length = f.size();
    const QByteArray head = f.read(qMin(length, kHeadBytes));
    QByteArray tail;
    if (length > 128 && f.seek(length - 128)) {
        tail = f.read(128);
    }
    return IdentifyFileContent(head, length, tail);
}

} // namespace harvly
