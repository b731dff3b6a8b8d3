#pragma once
// A tiny HTTP/1.1 server on 127.0.0.1 for the web tests: it records every
// request (path with query, headers) and answers from a table of pages, whole
// or in the ways a hostile or broken server sends them.

#include <QHostAddress>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

class LoopbackHttpServer {
public:
    struct Request {
        QByteArray method;
        QByteArray target;                      // as sent: path plus any query
        QMap<QByteArray, QByteArray> headers;   // names in lower case
    };
    enum class Delivery {
        Whole,          // with its length, then the connection closes
        Endless,        // the body over and over, as fast as the client takes it
        BurstThenStall, // the body at once, then silence with the connection open
        Trickle,        // one byte of the body every 50 ms, for ever
    };
    struct Page {
        QByteArray body;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray extraHeaders;                // whole lines, each ending in \r\n
        int status = 200;
        Delivery delivery = Delivery::Whole;
    };

    LoopbackHttpServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { acceptAll(); });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool isListening() const { return m_server.isListening(); }
    QString base() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }
    QStringList targets() const
    {
        QStringList list;
        for (const Request &request : requests)
            list << QString::fromLatin1(request.target);
        return list;
    }

    QMap<QByteArray, Page> pages;   // by target; anything else gets 404
    QList<Request> requests;
    qint64 bodyBytesSent = 0;       // of the pages not sent whole, taken by the kernel
    int clientsGone = 0;            // connections of those pages the client closed

    // A base on which nothing listens: a port taken and released again.
    static QString unreachableBase()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        return QStringLiteral("http://127.0.0.1:%1").arg(port);
    }

private:
    void acceptAll()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                const int end = buffer->indexOf("\r\n\r\n");
                if (end >= 0) {
                    answer(socket, buffer->left(end));
                    buffer->remove(0, end + 4);
                }
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void answer(QTcpSocket *socket, const QByteArray &head)
    {
        const QList<QByteArray> lines = head.split('\n');
        Request request;
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                       lines[i].mid(colon + 1).trimmed());
        }
        requests.append(request);

        const auto found = pages.constFind(request.target);
        const Page page = found != pages.constEnd()
                              ? *found
                              : Page{"<html><body>not here</body></html>", "text/html", {}, 404};
        QByteArray response = "HTTP/1.1 " + QByteArray::number(page.status)
                              + (page.status == 200 ? " OK\r\n" : " Error\r\n");
        response += "Content-Type: " + page.contentType + "\r\n";
        if (page.delivery == Delivery::Whole)
            response += "Content-Length: " + QByteArray::number(page.body.size()) + "\r\n";
        response += page.extraHeaders;
        response += "Connection: close\r\n\r\n";
        if (page.delivery == Delivery::Whole) {
            socket->write(response + page.body);
            socket->disconnectFromHost();
            return;
        }
        socket->write(response);
        const qint64 headerBytes = response.size();
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket,
                         [this, skip = std::make_shared<qint64>(headerBytes)](qint64 written) {
                             const qint64 body = std::max<qint64>(0, written - *skip);
                             *skip = std::max<qint64>(0, *skip - written);
                             bodyBytesSent += body;
                         });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] { ++clientsGone; });
        const QByteArray body = page.body.isEmpty() ? QByteArray(64 * 1024, 'x') : page.body;
        switch (page.delivery) {
        case Delivery::Whole:
            break;
        case Delivery::BurstThenStall:
            socket->write(body);
            break;
        case Delivery::Endless: {
            // Topped up as the kernel takes it, so the server's own memory stays small.
            const auto topUp = [socket, chunk = body] {
                while (socket->state() == QAbstractSocket::ConnectedState
                       && socket->bytesToWrite() < 4 * chunk.size())
                    socket->write(chunk);
            };
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, topUp);
            topUp();
            break;
        }
        case Delivery::Trickle: {
            auto *timer = new QTimer(socket);
            QObject::connect(timer, &QTimer::timeout, socket,
                             [socket, body, at = qsizetype(0)]() mutable {
                                 socket->write(body.mid(at++ % body.size(), 1));
                             });
            timer->start(50);
            break;
        }
        }
    }

    QTcpServer m_server;
};
