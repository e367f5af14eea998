#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <zlib.h>

// Writes entry files in the layout of the embedded browser's disk cache (checked against
// files the real engine wrote), so that tests and benchmarks can make caches of any shape.
struct CacheEntryWriter {
    QString address;
    QByteArray body; // as stored (already encoded when headers say so)
    QList<QByteArray> headers{"Content-Type: text/html; charset=utf-8"};
    QByteArray statusLine = "HTTP/1.1 200 OK";
    bool truncated = false; // the response record's "cut off" flag
    bool finished = true;   // false: no end records yet (being written)
    quint32 version = 5;
    bool badCrc = false;

    static QString fileNameOf(const QString &address)
    {
        const QByteArray sha =
            QCryptographicHash::hash("1/0/" + address.toUtf8(), QCryptographicHash::Sha1);
        return QStringLiteral("%1_0").arg(qFromLittleEndian<quint64>(sha.constData()), 16, 16,
                                          QLatin1Char('0'));
    }

    // Writes into folder (a Cache_Data folder); returns the file's path.
    QString writeTo(const QString &folder) const
    {
        QDir().mkpath(folder);
        const QByteArray key = "1/0/" + address.toUtf8();
        QByteArray f;
        append<quint64>(f, 0xfcfb6d1ba7725c30ULL);
        append<quint32>(f, version);
        append<quint32>(f, quint32(key.size()));
        append<quint32>(f, 0x1234abcd);
        append<quint32>(f, 0);
        f += key;
        f += body;
        if (finished) {
            quint32 crc = quint32(
                crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size())));
            eof(f, 1, badCrc ? crc ^ 1 : crc, quint32(body.size()));
            QByteArray raw = statusLine + '\0';
            for (const QByteArray &h : headers) {
                raw += h + '\0';
            }
            raw += '\0';
            QByteArray record;
            append<quint32>(record, 3 | (truncated ? (1U << 12) : 0) | (1U << 18));
            append<qint64>(record, 13300000000000000LL);
            append<qint64>(record, 13300000000100000LL);
            append<qint32>(record, qint32(raw.size()));
            record += raw;
            while (record.size() % 4) {
                record += '\0';
            }
            QByteArray stream0;
            append<quint32>(stream0, quint32(record.size()));
            stream0 += record;
            f += stream0;
            f += QCryptographicHash::hash(key, QCryptographicHash::Sha256);
            eof(f, 3,
                quint32(crc32(0, reinterpret_cast<const Bytef *>(stream0.constData()),
                              uInt(stream0.size()))),
                quint32(stream0.size()));
        }
        const QString path = QDir(folder).filePath(fileNameOf(address));
        QFile out(path);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            out.write(f);
        }
        return path;
    }

private:
    template <typename T> static void append(QByteArray &to, T value)
    {
        char bytes[sizeof(T)];
        qToLittleEndian(value, bytes);
        to.append(bytes, sizeof(T));
    }
    static void eof(QByteArray &to, quint32 flags, quint32 crc, quint32 size)
    {
        append<quint64>(to, 0xf4fa6f45970d41d8ULL);
        append<quint32>(to, flags);
        append<quint32>(to, crc);
        append<quint32>(to, size);
        append<quint32>(to, 0);
    }
};

// The index file that marks a folder as a cache folder.
inline void WriteCacheIndex(const QString &folder)
{
    QDir().mkpath(folder);
    QFile index(QDir(folder).filePath("index"));
    if (index.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        index.write(QByteArray::fromHex("305c72a71b6dfbfc090000000000000000000000000000000000"
                                        "0000")
                        .left(24));
    }
}
