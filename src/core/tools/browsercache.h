#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QFileDevice;
class QIODevice;

namespace harvly {

// One document in the embedded browser's disk cache (Chromium's "simple cache": one file per
// entry that holds the address, the body as received and the response headers). Read only:
// nothing here changes a cache file except DeleteCacheEntry.
struct CacheEntry {
    QString file;          // the entry file
    QString address;       // the document's address
    QString type;          // extension: from the response's type, else from the address
    int status = 0;        // HTTP status; 0 while the entry is still being written
    qint64 bodySize = 0;   // bytes stored (still encoded when the server compressed them)
    bool complete = false; // the whole body is there (not cut off, not being written)
    QByteArray contentType;
    QByteArray contentEncoding;
    QByteArray contentDisposition;

    // Where the body lies in the file, and its checksum when the cache kept one.
    qint64 bodyOffset = 0;
    std::optional<quint32> crc32;
};

struct CacheListing {
    QString folder; // the entry folder read ("" when none was found)
    QList<CacheEntry> entries;
    int unreadable = 0;  // entry files that could not be read
    QString firstReason; // why the first of them could not
};

// The folder that holds the entry files, given that folder itself, a folder with
// "Cache_Data" in it, or a profile's cache folder ("Cache/Cache_Data" below it); "" when
// there is none.
QString CacheDataFolder(const QString &folder);

// True for the name of an entry's main file ("<16 hex digits>_0").
bool IsCacheEntryFileName(const QString &name);

// Reads one entry file's address, headers and layout; nullopt (with the reason) when it is
// not an entry this program can read.
std::optional<CacheEntry> ReadCacheEntry(const QString &file, QString *reason = nullptr);

// Every entry of the cache folder (see CacheDataFolder), in file-name order.
CacheListing ListCache(const QString &folder);

// Writes the entry's body to out as the document it was: checked against the cache's checksum
// and decoded when the server compressed it (gzip, deflate, br). False, with the reason, for
// an incomplete entry, a checksum or decoding error, or a write error; out then holds part of
// it and the caller drops it.
bool WriteCacheBody(const CacheEntry &entry, QIODevice &out, QString *reason = nullptr);

// The name the document would be saved under: the server's suggested name
// (Content-Disposition), else the address's file name; the type is added when the name has
// none. Not yet made valid for the file system.
QString CacheEntryDocumentName(const CacheEntry &entry);

// Gives a document written out of the cache the time the cache stored it (its entry file's
// modification time), so that writing the same document out twice gives files of one size
// and time, which the same-name rules can tell apart from other files.
void StampWithCacheTime(QFileDevice &out, const CacheEntry &entry);

// The entry file that the cache uses for an address ("" for none). The file need not exist.
QString CacheEntryFileName(const QString &address);

// Removes the entry's files (the main file and its range and stream files). False when the
// main file is still there afterwards.
bool DeleteCacheEntry(const QString &entryFile);

// The cache window's delete rule for one listed item: a file found by walking the folders
// (its text begins with walkedPrefix) goes unless it is a ".txt"; a listed entry goes unless
// its address names "Cookie". Nothing without a file.
bool MayDeleteCacheItem(const QString &text, const QString &type, const QString &file,
                        const QString &walkedPrefix);
// Sets the file writable and removes it (an entry file with its siblings); whatever fails is
// left as it is.
void ForcedToDelete(const QString &path);

// The entry file of an address in the cache folder, when that entry is there and readable.
std::optional<QString> GetCacheEntryLocalFile(const QString &cacheFolder, const QString &address);

} // namespace harvly
