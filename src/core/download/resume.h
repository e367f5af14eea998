#pragma once

#include <QString>

class QNetworkReply;
class QNetworkRequest;

namespace harvly {

// What an interrupted transfer left of its document, kept so that the next attempt asks only
// for the rest. It belongs to its row: removing the row removes the file.
struct PartialFile {
    QString path;      // the hidden temporary file beside the target
    QString validator; // the server's strong ETag or Last-Modified; empty: not to be continued
    QString address;   // where the bytes came from
    bool isEmpty() const { return path.isEmpty(); }
    bool resumable() const { return !path.isEmpty() && !validator.isEmpty(); }
    bool operator==(const PartialFile &) const = default;
};

// The validator that an If-Range can carry for this answer: its strong ETag, else its
// Last-Modified. Empty when the server offers no byte ranges, sent the body compressed (the
// bytes written are then not the bytes a range counts), or the answer is no document.
QString ResumeValidator(const QNetworkReply &reply);

// Asks for the document from offset on, provided it is still the one the validator names;
// the server answers the whole document otherwise.
void AskForRest(QNetworkRequest &request, qint64 offset, const QString &validator);

// True when the answer is the rest of the document from exactly offset on (206, a
// Content-Range starting there, nothing compressed).
bool ContinuesAt(const QNetworkReply &reply, qint64 offset);

// True when the transfer was cut off by the network (a connection closed or broken, fewer
// bytes than announced): the document itself was fine, so its part is worth keeping.
bool CutOff(const QNetworkReply &reply, qint64 received, qint64 announced);

// The bytes of the part that an attempt fetching address into folder can continue; 0 when it
// cannot (no validator, another address or folder, not a temporary file of ours, empty).
qint64 ResumableFrom(const PartialFile &part, const QString &address, const QString &folder);

// True for the name of a transfer's temporary file (".harvly-XXXXXXXX.part").
bool IsPartFileName(const QString &path);

// Removes the file of a partial that is not to be continued; nothing for an empty one, nor
// for a path that is no temporary file of ours.
void RemovePartialFile(const PartialFile &part);

} // namespace harvly
