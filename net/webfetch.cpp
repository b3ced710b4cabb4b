#include "net/webfetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace net {

namespace {

QString megabytes(qint64 bytes)
{
    return bytes >= 1024 * 1024 ? QStringLiteral("%1 MB").arg(bytes / (1024 * 1024))
                                : QStringLiteral("%1 bytes").arg(bytes);
}

QString hostNotFound(const QString &host)
{
    return QStringLiteral("The host %1 was not found: check the address and that the computer is online.").arg(host);
}

// Names under "invalid" never resolve (RFC 6761): they are refused at once, without asking the resolver,
// which may take long to say so on a computer without a network.
bool neverResolves(const QString &host)
{
    return host.compare(u"invalid", Qt::CaseInsensitive) == 0 || host.endsWith(u".invalid", Qt::CaseInsensitive) ||
           host.endsWith(u".invalid.", Qt::CaseInsensitive);
}

} // namespace

WebFetch::WebFetch(QNetworkAccessManager &manager, const QUrl &address, const FetchLimits &limits, QObject *parent)
    : QObject(parent), m_timer(new QTimer(this)), m_limits(limits), m_address(address)
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("%1 did not answer within %2 seconds.")
                 .arg(m_address.host())
                 .arg(m_limits.milliseconds / 1000.0));
    });
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
        // Reported once the caller is listening.
        QTimer::singleShot(0, this, [this] {
            fail(QStringLiteral("\"%1\" is not a web address: it begins with http:// or https://.")
                     .arg(m_address.toString()));
        });
        return;
    }
    if (neverResolves(address.host())) {
        QTimer::singleShot(0, this, [this] { fail(hostNotFound(m_address.host())); });
        return;
    }
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(limits.redirects);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Larderon/1.0 (recipe import)"));
    m_reply = manager.get(request);
    m_reply->setParent(this);
    connect(m_reply, &QNetworkReply::finished, this, &WebFetch::replyFinished);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &WebFetch::received);
    connect(m_reply, &QNetworkReply::readyRead, this, &WebFetch::received);
    connect(m_reply, &QNetworkReply::redirected, this, [this](const QUrl &to) { m_address = to; });
    m_timer->start(limits.milliseconds);
}

WebFetch::~WebFetch()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void WebFetch::cancel()
{
    fail(QStringLiteral("The fetch was cancelled."));
}

void WebFetch::fail(const QString &message)
{
    if (m_outcome != Outcome::Running)
        return;
    m_outcome = Outcome::Failed;
    m_message = message;
    m_bytes.clear();
    m_timer->stop();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    emit finished();
}

void WebFetch::received()
{
    if (!m_reply)
        return;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    const bool said = length.isValid() && length.toLongLong() > m_limits.bytes;
    if (said || m_reply->bytesAvailable() + m_bytes.size() > m_limits.bytes) {
        fail(QStringLiteral("The page at %1 is larger than %2, more than a recipe page holds; it was not fetched.")
                 .arg(m_address.toString(), megabytes(m_limits.bytes)));
        return;
    }
    // Only the last answer of a redirect is kept.
    if (m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() / 100 != 3)
        m_bytes += m_reply->readAll();
}

void WebFetch::replyFinished()
{
    if (!m_reply || m_outcome != Outcome::Running)
        return;
    received();
    if (m_outcome != Outcome::Running)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = m_reply->error();
    const QString host = m_address.host();
    if (error == QNetworkReply::HostNotFoundError) {
        fail(hostNotFound(host));
    } else if (error == QNetworkReply::ConnectionRefusedError) {
        fail(QStringLiteral("Nothing answers at %1, port %2: the address may be wrong, or the server is not running.")
                 .arg(host)
                 .arg(m_address.port(m_address.scheme().toLower() == u"https" ? 443 : 80)));
    } else if (error == QNetworkReply::TooManyRedirectsError) {
        fail(QStringLiteral("%1 sends the page on more than %2 times; it was not fetched.")
                 .arg(host)
                 .arg(m_limits.redirects));
    } else if (status == 404 || status == 410) {
        fail(QStringLiteral("There is no page at %1 (the server answers %2: not found).")
                 .arg(m_address.toString())
                 .arg(status));
    } else if (status >= 400) {
        fail(QStringLiteral("The server %1 refused the page (it answers %2: %3).")
                 .arg(host)
                 .arg(status)
                 .arg(m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
    } else if (error == QNetworkReply::InsecureRedirectError) {
        fail(QStringLiteral("%1 sends the page on from https to http; it was not fetched.").arg(host));
    } else if (error != QNetworkReply::NoError) {
        fail(QStringLiteral("No connection to %1: %2.").arg(host, m_reply->errorString()));
    } else {
        m_outcome = Outcome::Fetched;
        m_timer->stop();
        m_reply->deleteLater();
        m_reply = nullptr;
        emit finished();
    }
}

} // namespace net
