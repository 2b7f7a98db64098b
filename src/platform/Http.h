#pragma once
// One blocking HTTP GET through libcurl, as the version check needs it:
// HTTP/1.0, no cookies, a bounded wait. Runs on the calling thread.
#include <QByteArray>
#include <QString>

struct HttpReply {
    bool ok = false;      // a reply with a 2xx status arrived in time
    long status = 0;      // the HTTP status, 0 when none arrived
    QByteArray body;      // the reply's body when ok, else empty
    QString error;        // why it failed, empty when ok
};

// The longest wait for a whole reply, and the largest body taken.
constexpr int HttpTimeoutMs = 10000;
constexpr qsizetype HttpMaxBody = 1 << 20;

// GETs `url` (http or https only). Any failure (no connection, unknown host,
// time-out, an HTTP error status, a body larger than HttpMaxBody, another
// scheme) gives ok false and an empty body.
HttpReply HttpGet(const QString& url, int timeoutMs = HttpTimeoutMs);
