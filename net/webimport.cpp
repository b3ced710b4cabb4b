#include "net/webimport.h"

#include "store/interchange/webpage.h"
#include "store/io/textcodec.h"
#include "store/recipepicture.h"

#include <QFile>

namespace net {

namespace {

// The most pictures one page brings.
constexpr int kMostPictures = 8;

FetchLimits &currentLimits()
{
    static FetchLimits limits;
    return limits;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

WebImport::WebImport(QObject *parent) : QObject(parent)
{}

WebImport::~WebImport() = default;

void WebImport::setLimits(const FetchLimits &limits)
{
    currentLimits() = limits;
}

FetchLimits WebImport::limits()
{
    return currentLimits();
}

QString WebImport::pageFile() const
{
    return m_folder ? m_folder->filePath(QStringLiteral("page.html")) : QString();
}

void WebImport::start(const QString &address)
{
    QString written = address.trimmed();
    if (!written.contains(QLatin1String("://")))
        written.prepend(QLatin1String("https://"));
    m_address = QUrl::fromUserInput(written);
    m_fetch = new WebFetch(m_manager, m_address, currentLimits(), this);
    connect(m_fetch, &WebFetch::finished, this, &WebImport::pageFetched);
}

void WebImport::cancel()
{
    m_cancelled = true;
    if (m_fetch)
        m_fetch->cancel();
}

void WebImport::end(Outcome outcome, const QString &message)
{
    m_outcome = outcome;
    m_message = message;
    if (m_fetch) {
        m_fetch->deleteLater();
        m_fetch = nullptr;
    }
    emit finished();
}

void WebImport::pageFetched()
{
    WebFetch *fetch = m_fetch;
    if (fetch->outcome() != WebFetch::Outcome::Fetched) {
        end(Outcome::Failed, fetch->message());
        return;
    }
    m_address = fetch->address();
    const QString text = store::decodeText(fetch->bytes());
    bool recipes = false;
    QStringList pictures;
    const auto reader = store::interchange::makeWebPageReader(
        QStringLiteral("<!-- saved from url=(0000)%1 -->\n").arg(m_address.toString()) + text);
    while (const std::optional<store::interchange::ReadItem> item = reader->next()) {
        if (item->problem == store::interchange::kNoRecipeData)
            break;
        recipes = true;
        const QString picture = item->recipe.pictureAddress;
        const QUrl url(picture);
        if (!picture.isEmpty() && !pictures.contains(picture) && pictures.size() < kMostPictures &&
            (url.scheme() == u"http" || url.scheme() == u"https"))
            pictures.append(picture);
    }
    if (!recipes) {
        m_pageText = text;
        end(Outcome::NoRecipeData,
            QStringLiteral("%1: %2.").arg(m_address.toString(), store::interchange::kNoRecipeData));
        return;
    }
    m_folder = std::make_unique<QTemporaryDir>();
    // The address in a saved page's first line, as browsers write it; the page's bytes as they came.
    const QByteArray saved = QStringLiteral("<!-- saved from url=(%1)%2 -->\n")
                                 .arg(m_address.toString().size(), 4, 10, QLatin1Char('0'))
                                 .arg(m_address.toString())
                                 .toUtf8();
    if (!m_folder->isValid() || !write(pageFile(), saved + fetch->bytes())) {
        end(Outcome::Failed, QStringLiteral("The page could not be kept in a temporary folder."));
        return;
    }
    m_wanted = pictures;
    nextPicture();
}

void WebImport::nextPicture()
{
    if (m_fetch)
        m_fetch->deleteLater();
    m_fetch = nullptr;
    if (m_cancelled) {
        end(Outcome::Failed, QStringLiteral("The fetch was cancelled."));
        return;
    }
    if (m_wanted.isEmpty()) {
        end(Outcome::Recipes);
        return;
    }
    m_fetch = new WebFetch(m_manager, QUrl(m_wanted.first()), currentLimits(), this);
    connect(m_fetch, &WebFetch::finished, this, &WebImport::pictureFetched);
}

void WebImport::pictureFetched()
{
    const QString picture = m_wanted.takeFirst();
    if (m_fetch->outcome() != WebFetch::Outcome::Fetched) {
        m_pictureProblems.append(QStringLiteral("The picture %1 was not kept: %2").arg(picture, m_fetch->message()));
    } else if (!store::isPicture(m_fetch->bytes())) {
        m_pictureProblems.append(
            QStringLiteral("The picture %1 was not kept: it is no JPEG, PNG or WebP picture.").arg(picture));
    } else {
        const QString file = m_folder->filePath(QStringLiteral("picture-%1").arg(m_pictures.size() + 1));
        if (write(file, m_fetch->bytes()))
            m_pictures.insert(picture, file);
    }
    nextPicture();
}

} // namespace net
