#pragma once

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>

namespace testing {

/// A small web server on the loopback address for the tests of fetching: each path answers with the
/// bytes given for it (status line, headers and body); a path without an answer never answers.
class TestServer : public QObject
{
public:
    TestServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            }
        });
    }

    /// The address of `path` on this server.
    QString address(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }

    void page(const QString &path, const QByteArray &body, const QByteArray &type = "text/html; charset=utf-8")
    {
        m_answers.insert(path, "HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " +
                                   QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    }
    void redirect(const QString &path, const QString &to)
    {
        m_answers.insert(path, "HTTP/1.1 302 Found\r\nLocation: " + to.toUtf8() +
                                   "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    }
    void status(const QString &path, const QByteArray &statusLine)
    {
        m_answers.insert(path, "HTTP/1.1 " + statusLine + "\r\nContent-Length: 5\r\nConnection: close\r\n\r\nNope.");
    }
    /// Answers `path` with a body of `size` bytes and no length said beforehand.
    void endless(const QString &path, qint64 size)
    {
        m_answers.insert(path, "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n<html>" +
                                   QByteArray(size, 'x'));
    }
    /// The paths asked for, in order.
    const QStringList &asked() const { return m_asked; }

private:
    void answer(QTcpSocket *socket)
    {
        QByteArray &request = m_requests[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromUtf8(request.split(' ').value(1));
        m_asked.append(path);
        if (!m_answers.contains(path))
            return; // never answers
        socket->write(m_answers.value(path));
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QString, QByteArray> m_answers;
    QHash<QTcpSocket *, QByteArray> m_requests;
    QStringList m_asked;
};

} // namespace testing
