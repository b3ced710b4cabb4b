#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

/// Fetching from the web, which Larderon does only when the user asks it to import from a web address.
/// It lives apart from store/, which is QtCore only, and from the screens, so that a test reaches it
/// without a window: Qt Network and the store's readers, no widget.
namespace net {

/// The limits of one fetch.
struct FetchLimits
{
    int milliseconds = 20000;        ///< for the whole fetch, redirects included
    qint64 bytes = 10 * 1024 * 1024; ///< the largest page or picture taken
    int redirects = 10;
};

/// One fetch of a web address (http or https) with Qt Network: redirects are followed up to the limit,
/// and the fetch ends with a clear message when the time or size limit is passed or the server fails.
class WebFetch : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Running, Fetched, Failed };

    /// Starts fetching `address` at once through `manager`.
    WebFetch(QNetworkAccessManager &manager, const QUrl &address, const FetchLimits &limits, QObject *parent = nullptr);
    ~WebFetch() override;

    /// Stops the fetch; finished() follows with Failed.
    void cancel();

    Outcome outcome() const { return m_outcome; }
    /// Why the fetch failed, as a sentence for the user.
    const QString &message() const { return m_message; }
    /// What was fetched.
    const QByteArray &bytes() const { return m_bytes; }
    /// The address the bytes came from, after any redirect.
    const QUrl &address() const { return m_address; }

signals:
    void finished();

private:
    void fail(const QString &message);
    void replyFinished();
    void received();

    QNetworkReply *m_reply = nullptr;
    QTimer *m_timer;
    FetchLimits m_limits;
    QUrl m_address;
    QByteArray m_bytes;
    QString m_message;
    Outcome m_outcome = Outcome::Running;
};

} // namespace net
