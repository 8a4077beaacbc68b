#ifndef HTTPREADING_H
#define HTTPREADING_H

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Reads one event-pipe request frame the way a strict HTTP/1.1 server reads a
// request: the frame's length word must be its size; the head is CR LF lines
// (a bare LF is an error); the request line is exactly three parts; every
// header line is "name: value" with no blank before the colon; Host is
// present; the body is exactly Content-Length bytes, or empty without it.
// `error` names the first rule broken, empty when the request is sound.
struct HttpRequest
{
    quint32 length = 0;
    quint32 type = 0;
    QByteArray method, target, version;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    QString error;

    QByteArray header(const QByteArray &name) const
    {
        for (const auto &h : headers) {
            if (h.first.toLower() == name.toLower())
                return h.second;
        }
        return QByteArray();
    }
    QList<QByteArray> headerNames() const
    {
        QList<QByteArray> names;
        for (const auto &h : headers)
            names << h.first;
        return names;
    }
};

inline HttpRequest readHttpRequest(const QByteArray &frame)
{
    HttpRequest r;
    if (frame.size() < 8) {
        r.error = "frame shorter than its header";
        return r;
    }
    auto le = [&](int off) {
        return quint32(uchar(frame[off])) | quint32(uchar(frame[off + 1])) << 8 |
               quint32(uchar(frame[off + 2])) << 16 | quint32(uchar(frame[off + 3])) << 24;
    };
    r.length = le(0);
    r.type = le(4);
    if (r.length != quint32(frame.size())) {
        r.error = QString("length word %1 for %2 bytes").arg(r.length).arg(frame.size());
        return r;
    }
    const QByteArray text = frame.mid(8);
    const int end = text.indexOf("\r\n\r\n");
    if (end < 0) {
        r.error = "no end of head";
        return r;
    }
    QByteArray head = text.left(end);
    if (QByteArray(head).replace("\r\n", "\n").contains('\r')) {
        r.error = "bare CR in the head";
        return r;
    }
    head.replace("\r\n", "\r");
    if (head.contains('\n')) {
        r.error = "bare LF in the head";
        return r;
    }
    const QList<QByteArray> lines = head.split('\r');
    const QList<QByteArray> requestLine = lines.value(0).split(' ');
    if (requestLine.size() != 3 || requestLine.contains(QByteArray())) {
        r.error = "request line is not three parts";
        return r;
    }
    r.method = requestLine[0];
    r.target = requestLine[1];
    r.version = requestLine[2];
    if (r.version != "HTTP/1.1") {
        r.error = "version " + QString::fromLatin1(r.version);
        return r;
    }
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const int colon = line.indexOf(':');
        if (colon <= 0 || line.left(colon).contains(' ') || line.left(colon).contains('\t')) {
            r.error = "bad header line " + QString::fromLatin1(line);
            return r;
        }
        r.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    if (r.header("Host").isEmpty()) {
        r.error = "no Host";
        return r;
    }
    r.body = text.mid(end + 4);
    const QByteArray announced = r.header("Content-Length");
    bool ok = true;
    const int length = announced.isEmpty() ? 0 : announced.toInt(&ok);
    if (!ok || length != r.body.size())
        r.error = QString("Content-Length '%1' for a body of %2 bytes")
                      .arg(QString::fromLatin1(announced))
                      .arg(r.body.size());
    return r;
}

#endif
