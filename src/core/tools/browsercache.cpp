#include "browsercache.h"

#include "common/build.h"
#include "common/urls.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <QtEndian>

#include <brotli/decode.h>
#include <zlib.h>

#include <memory>

namespace harvly {

namespace {

// The simple cache's file layout (net/disk_cache/simple/simple_entry_format.h).
constexpr quint64 kInitialMagic = 0xfcfb6d1ba7725c30ULL;
constexpr quint64 kFinalMagic = 0xf4fa6f45970d41d8ULL;
constexpr quint32 kEntryVersion = 5;
constexpr qint64 kHeaderSize = 24; // magic, version, key length, key hash, padding
constexpr qint64 kEofSize = 24;    // magic, flags, crc32, stream size, padding
constexpr quint32 kEofHasCrc = 1U << 0;
constexpr quint32 kEofHasKeySha256 = 1U << 1;
// The response record that stream 0 holds (net/http/http_response_info.cc).
constexpr quint32 kResponseTruncated = 1U << 12;
constexpr qint64 kLargestKey = 64 * 1024;
constexpr qint64 kLargestHeaders = 1024 * 1024;

template <typename T> T readLE(const QByteArray &bytes, qint64 at)
{
    return qFromLittleEndian<T>(bytes.constData() + at);
}

// "1/0/http://..." (or "_dk_... ... http://..." where the cache is split by site): the address.
QString addressOfKey(const QByteArray &key)
{
    QString text = QString::fromUtf8(key);
    if (text.startsWith(QLatin1String("_dk_"))) {
        return text.mid(text.lastIndexOf(QLatin1Char(' ')) + 1);
    }
    static const QRegularExpression prefix(QStringLiteral("^\\d+/\\d+/"));
    return text.remove(prefix);
}

struct ResponseRecord {
    quint32 flags = 0;
    QByteArray rawHeaders;
};

// Stream 0 is a pickled response record: payload size, flags, two times, then the raw
// headers as a length-prefixed string.
std::optional<ResponseRecord> parseResponseRecord(const QByteArray &stream0)
{
    constexpr qint64 headersAt = 4 + 4 + 8 + 8;
    if (stream0.size() < headersAt + 4) {
        return std::nullopt;
    }
    ResponseRecord r;
    r.flags = readLE<quint32>(stream0, 4);
    const qint32 length = readLE<qint32>(stream0, headersAt);
    if (length < 0 || headersAt + 4 + length > stream0.size()) {
        return std::nullopt;
    }
    r.rawHeaders = stream0.mid(headersAt + 4, length);
    return r;
}

void takeHeaders(CacheEntry &e, const QByteArray &raw)
{
    const QList<QByteArray> lines = raw.split('\0');
    if (!lines.isEmpty()) {
        e.status = lines.first().split(' ').value(1).toInt();
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            continue;
        }
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-type") {
            e.contentType = value;
        } else if (name == "content-encoding") {
            e.contentEncoding = value.toLower();
        } else if (name == "content-disposition") {
            e.contentDisposition = value;
        }
    }
}

QString typeOf(const CacheEntry &e)
{
    const QString mime =
        QString::fromLatin1(e.contentType).section(QLatin1Char(';'), 0, 0).trimmed();
    if (!mime.isEmpty()) {
        QString extension;
        ContentTypeToExtension(mime, &extension, Build::english());
        if (!extension.isEmpty()) {
            return extension;
        }
    }
    return GetFileNameFromUrl(e.address, nullptr).toLower();
}

// The server's suggested name: filename*=charset''encoded wins over filename="...".
QString dispositionName(const QByteArray &disposition)
{
    const QString text = QString::fromUtf8(disposition);
    static const QRegularExpression extended(
        QStringLiteral("filename\\*\\s*=\\s*([^']*)'[^']*'([^;]+)"),
        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = extended.match(text); m.hasMatch()) {
        const QByteArray bytes =
            QByteArray::fromPercentEncoding(m.captured(2).trimmed().toLatin1());
        const QString charset = m.captured(1).trimmed().toLower();
        return charset == QLatin1String("utf-8") ? QString::fromUtf8(bytes)
                                                 : QString::fromLatin1(bytes);
    }
    static const QRegularExpression plain(QStringLiteral("filename\\s*=\\s*(\"([^\"]*)\"|[^;]+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (const auto m = plain.match(text); m.hasMatch()) {
        return (m.captured(2).isEmpty() ? m.captured(1) : m.captured(2)).trimmed();
    }
    return {};
}

// A streaming decoder for the body's content coding.
class BodyDecoder
{
public:
    virtual ~BodyDecoder() = default;
    // Decodes a chunk into out; false on a coding error.
    virtual bool feed(const char *data, qint64 size, QIODevice &out) = 0;
    // True when the coded stream ended properly.
    virtual bool finish() = 0;
};

class PlainBody final : public BodyDecoder
{
public:
    bool feed(const char *data, qint64 size, QIODevice &out) override
    {
        return out.write(data, size) == size;
    }
    bool finish() override { return true; }
};

class InflateBody final : public BodyDecoder
{
public:
    // gzip or zlib (told apart by their headers), or raw deflate.
    explicit InflateBody(bool raw)
    {
        m_ok = inflateInit2(&m_stream, raw ? -MAX_WBITS : MAX_WBITS + 32) == Z_OK;
    }
    ~InflateBody() override { inflateEnd(&m_stream); }
    bool feed(const char *data, qint64 size, QIODevice &out) override
    {
        m_stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
        m_stream.avail_in = uInt(size);
        while (m_ok && m_stream.avail_in > 0 && !m_ended) {
            char buffer[64 * 1024];
            m_stream.next_out = reinterpret_cast<Bytef *>(buffer);
            m_stream.avail_out = sizeof buffer;
            const int result = inflate(&m_stream, Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END) {
                m_ok = false;
                break;
            }
            m_ended = result == Z_STREAM_END;
            const qint64 made = qint64(sizeof buffer) - m_stream.avail_out;
            if (made > 0 && out.write(buffer, made) != made) {
                m_ok = false;
            }
        }
        return m_ok;
    }
    bool finish() override { return m_ok && m_ended; }

private:
    z_stream m_stream{};
    bool m_ok = false;
    bool m_ended = false;
};

class BrotliBody final : public BodyDecoder
{
public:
    BrotliBody() : m_state(BrotliDecoderCreateInstance(nullptr, nullptr, nullptr)) {}
    ~BrotliBody() override { BrotliDecoderDestroyInstance(m_state); }
    bool feed(const char *data, qint64 size, QIODevice &out) override
    {
        size_t availableIn = size_t(size);
        auto nextIn = reinterpret_cast<const uint8_t *>(data);
        while (m_ok) {
            uint8_t buffer[64 * 1024];
            size_t availableOut = sizeof buffer;
            uint8_t *nextOut = buffer;
            m_result = BrotliDecoderDecompressStream(m_state, &availableIn, &nextIn, &availableOut,
                                                     &nextOut, nullptr);
            const qint64 made = qint64(sizeof buffer - availableOut);
            if (made > 0 && out.write(reinterpret_cast<const char *>(buffer), made) != made) {
                m_ok = false;
            }
            if (m_result == BROTLI_DECODER_RESULT_ERROR) {
                m_ok = false;
            }
            if (m_result != BROTLI_DECODER_RESULT_NEEDS_MORE_OUTPUT) {
                break;
            }
        }
        return m_ok;
    }
    bool finish() override { return m_ok && m_result == BROTLI_DECODER_RESULT_SUCCESS; }

private:
    BrotliDecoderState *m_state;
    BrotliDecoderResult m_result = BROTLI_DECODER_RESULT_NEEDS_MORE_INPUT;
    bool m_ok = true;
};

// A zlib stream starts with a header whose two bytes are a multiple of 31 and name deflate.
bool looksLikeZlib(const QByteArray &start)
{
    if (start.size() < 2) {
        return false;
    }
    const auto cmf = quint8(start.at(0));
    const auto flg = quint8(start.at(1));
    return (cmf & 0x0f) == 8 && (cmf * 256 + flg) % 31 == 0;
}

std::unique_ptr<BodyDecoder> decoderFor(const QByteArray &coding, const QByteArray &start,
                                        QString *reason)
{
    if (coding.isEmpty() || coding == "identity") {
        return std::make_unique<PlainBody>();
    }
    if (coding == "gzip" || coding == "x-gzip") {
        return std::make_unique<InflateBody>(false);
    }
    if (coding == "deflate") {
        return std::make_unique<InflateBody>(!looksLikeZlib(start));
    }
    if (coding == "br") {
        return std::make_unique<BrotliBody>();
    }
    *reason = QStringLiteral("unknown content coding \"%1\"").arg(QString::fromLatin1(coding));
    return nullptr;
}

void say(QString *reason, const QString &text)
{
    if (reason) {
        *reason = text;
    }
}

} // namespace

QString CacheDataFolder(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &candidate :
         {QStringLiteral("Cache/Cache_Data"), QStringLiteral("Cache_Data"), QString()}) {
        const QString path = candidate.isEmpty() ? dir.path() : dir.filePath(candidate);
        if (QFileInfo::exists(QDir(path).filePath(QStringLiteral("index"))) ||
            (!candidate.isEmpty() && QFileInfo(path).isDir())) {
            return QDir::cleanPath(path);
        }
    }
    return QFileInfo(folder).isDir() && folder.endsWith(QLatin1String("Cache_Data"))
               ? QDir::cleanPath(folder)
               : QString();
}

bool IsCacheEntryFileName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9a-f]{16}_0$"));
    return pattern.match(name).hasMatch();
}

std::optional<CacheEntry> ReadCacheEntry(const QString &file, QString *reason)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        say(reason, f.errorString());
        return std::nullopt;
    }
    const qint64 size = f.size();
    const QByteArray header = f.read(kHeaderSize);
    if (header.size() < kHeaderSize || readLE<quint64>(header, 0) != kInitialMagic) {
        say(reason, QStringLiteral("not a cache entry"));
        return std::nullopt;
    }
    const quint32 version = readLE<quint32>(header, 8);
    if (version != kEntryVersion) {
        say(reason, QStringLiteral("cache entry version %1 (this program reads version %2)")
                        .arg(version)
                        .arg(kEntryVersion));
        return std::nullopt;
    }
    const qint64 keyLength = readLE<quint32>(header, 12);
    if (keyLength <= 0 || keyLength > kLargestKey || kHeaderSize + keyLength > size) {
        say(reason, QStringLiteral("damaged entry (key length)"));
        return std::nullopt;
    }
    CacheEntry e;
    e.file = file;
    e.address = addressOfKey(f.read(keyLength));
    e.bodyOffset = kHeaderSize + keyLength;

    // Read from the end: the last record tells where stream 0 (the headers) starts, and the
    // record before stream 0 closes the body. No record yet: the entry is being written.
    const qint64 tail = size - e.bodyOffset;
    QByteArray last;
    if (tail >= 2 * kEofSize && f.seek(size - kEofSize)) {
        last = f.read(kEofSize);
    }
    if (last.size() < kEofSize || readLE<quint64>(last, 0) != kFinalMagic) {
        e.bodySize = tail;
        e.type = typeOf(e);
        return e; // incomplete, status unknown
    }
    const quint32 flags0 = readLE<quint32>(last, 8);
    const qint64 stream0 = readLE<quint32>(last, 16);
    const qint64 sha = (flags0 & kEofHasKeySha256) ? 32 : 0;
    const qint64 stream0Start = size - kEofSize - sha - stream0;
    if (stream0 > kLargestHeaders || stream0Start - kEofSize < e.bodyOffset) {
        say(reason, QStringLiteral("damaged entry (header stream size)"));
        return std::nullopt;
    }
    if (!f.seek(stream0Start - kEofSize)) {
        say(reason, f.errorString());
        return std::nullopt;
    }
    const QByteArray records = f.read(kEofSize + stream0);
    if (records.size() < kEofSize + stream0 || readLE<quint64>(records, 0) != kFinalMagic) {
        say(reason, QStringLiteral("damaged entry (body record)"));
        return std::nullopt;
    }
    if (readLE<quint32>(records, 8) & kEofHasCrc) {
        e.crc32 = readLE<quint32>(records, 12);
    }
    e.bodySize = stream0Start - kEofSize - e.bodyOffset;
    const std::optional<ResponseRecord> response = parseResponseRecord(records.mid(kEofSize));
    if (!response) {
        say(reason, QStringLiteral("damaged entry (response record)"));
        return std::nullopt;
    }
    takeHeaders(e, response->rawHeaders);
    e.complete = !(response->flags & kResponseTruncated);
    e.type = typeOf(e);
    return e;
}

CacheListing ListCache(const QString &folder)
{
    CacheListing listing;
    listing.folder = CacheDataFolder(folder);
    if (listing.folder.isEmpty()) {
        return listing;
    }
    const QStringList names = QDir(listing.folder).entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        if (!IsCacheEntryFileName(name)) {
            continue;
        }
        QString reason;
        std::optional<CacheEntry> e =
            ReadCacheEntry(listing.folder + QLatin1Char('/') + name, &reason);
        if (e) {
            listing.entries.append(std::move(*e));
        } else if (++listing.unreadable == 1) {
            listing.firstReason = name + QStringLiteral(": ") + reason;
        }
    }
    return listing;
}

bool WriteCacheBody(const CacheEntry &entry, QIODevice &out, QString *reason)
{
    if (!entry.complete) {
        say(reason, QStringLiteral("the document is incomplete in the cache"));
        return false;
    }
    QFile f(entry.file);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(entry.bodyOffset)) {
        say(reason, f.errorString());
        return false;
    }
    std::unique_ptr<BodyDecoder> decoder;
    quint32 crc = crc32(0, nullptr, 0);
    qint64 left = entry.bodySize;
    QByteArray chunk;
    while (left > 0) {
        chunk = f.read(qMin<qint64>(left, 1024 * 1024));
        if (chunk.isEmpty()) {
            say(reason, QStringLiteral("the entry file ended early"));
            return false;
        }
        if (!decoder) {
            QString why;
            decoder = decoderFor(entry.contentEncoding, chunk, &why);
            if (!decoder) {
                say(reason, why);
                return false;
            }
        }
        crc = crc32(crc, reinterpret_cast<const Bytef *>(chunk.constData()), uInt(chunk.size()));
        if (!decoder->feed(chunk.constData(), chunk.size(), out)) {
            say(reason, out.errorString().isEmpty()
                            ? QStringLiteral("the document's coding is damaged")
                            : out.errorString());
            return false;
        }
        left -= chunk.size();
    }
    if (entry.crc32 && *entry.crc32 != crc) {
        say(reason, QStringLiteral("checksum error"));
        return false;
    }
    if (decoder && !decoder->finish()) {
        say(reason, QStringLiteral("the document's coding is damaged"));
        return false;
    }
    return true;
}

QString CacheEntryDocumentName(const CacheEntry &entry)
{
    QString name = dispositionName(entry.contentDisposition);
    name =
        name.mid(qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1);
    if (name.isEmpty()) {
        GetFileNameFromUrl(entry.address, &name);
        name = name.section(QLatin1Char('?'), 0, 0);
        name = QUrl::fromPercentEncoding(name.toUtf8());
    }
    if (name.isEmpty()) {
        name = QUrl(entry.address).host();
    }
    if (!entry.type.isEmpty() &&
        !name.endsWith(QLatin1Char('.') + entry.type, Qt::CaseInsensitive) &&
        GetFileNameFromUrl(name, nullptr).compare(entry.type, Qt::CaseInsensitive) != 0) {
        name += QLatin1Char('.') + entry.type;
    }
    return name;
}

void StampWithCacheTime(QFileDevice &out, const CacheEntry &entry)
{
    const QDateTime stored = QFileInfo(entry.file).lastModified();
    if (stored.isValid()) {
        out.setFileTime(stored, QFileDevice::FileModificationTime);
    }
}

QString CacheEntryFileName(const QString &address)
{
    const QByteArray sha =
        QCryptographicHash::hash(QByteArray("1/0/") + address.toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("%1_0").arg(readLE<quint64>(sha, 0), 16, 16, QLatin1Char('0'));
}

bool DeleteCacheEntry(const QString &entryFile)
{
    const QString stem = entryFile.chopped(2);
    QFile::remove(stem + QStringLiteral("_1"));
    QFile::remove(stem + QStringLiteral("_s"));
    QFile::remove(entryFile);
    return !QFileInfo::exists(entryFile);
}

bool MayDeleteCacheItem(const QString &text, const QString &type, const QString &file,
                        const QString &walkedPrefix)
{
    if (file.isEmpty()) {
        return false;
    }
    if (text.startsWith(walkedPrefix)) {
        return type.toLower() != QLatin1String("txt");
    }
    return !text.isEmpty() && !text.contains(QLatin1String("Cookie"), Qt::CaseInsensitive);
}

void ForcedToDelete(const QString &path)
{
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    if (IsCacheEntryFileName(QFileInfo(path).fileName())) {
        DeleteCacheEntry(path);
    } else {
        QFile::remove(path);
    }
}

std::optional<QString> GetCacheEntryLocalFile(const QString &cacheFolder, const QString &address)
{
    const QString folder = CacheDataFolder(cacheFolder);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    const QString direct = folder + QLatin1Char('/') + CacheEntryFileName(address);
    if (const auto e = ReadCacheEntry(direct); e && e->address == address) {
        return direct;
    }
    // Keys with a site prefix hash differently: look through the entries.
    for (const CacheEntry &e : ListCache(folder).entries) {
        if (e.address == address) {
            return e.file;
        }
    }
    return std::nullopt;
}

} // namespace harvly
