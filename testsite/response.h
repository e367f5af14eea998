#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

namespace harvly::testsite {

// What the site answers to one request, and how it misbehaves when asked to.
struct Response {
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    bool announceLength = true; // false: no Content-Length, the end is the connection's close
    qint64 announcedExtra = 0;  // announce this many bytes more than the body has
    qint64 stallAfter = -1;     // send this many body bytes, then nothing more (connection open)
    qint64 cutAfter = -1;       // send this many body bytes, then close the connection
    bool reset = false;         // drop the connection after the headers
    int slowChunk = 0;          // send the body in chunks of this size ...
    int slowIntervalMs = 0;     // ... this far apart
    bool neverComplete = false; // send the headers and part of the page, then hold
    qint64 generatedSize = 0;   // this many filler bytes made while sending (large files) ...
    QByteArray generatedTail;   // ... between the body and this

    static Response html(const QByteArray &body, int status = 200);
    static Response redirect(const QByteArray &location, int status = 302);
};

} // namespace harvly::testsite
