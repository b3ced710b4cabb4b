#pragma once

#include "net/webfetch.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace net {

/// Fetches a recipe page from a web address, with the pictures of its recipes, for the import to read as
/// a saved page (store::RecipeImport): the page is kept in a temporary folder with the address it came
/// from at its top, as a browser saves a page, and each picture beside it. Nothing is fetched but what
/// the user asked for and the pictures of the recipes found there.
class WebImport : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Running,
        Recipes,      ///< the page holds recipes: pageFile() and pictures() are ready for the import
        NoRecipeData, ///< the page holds no recipe data: pageText() is its text
        Failed,       ///< message() says why
    };

    explicit WebImport(QObject *parent = nullptr);
    ~WebImport() override;

    /// The limits of every fetch after this call (tests make them small).
    static void setLimits(const FetchLimits &limits);
    static FetchLimits limits();

    /// Starts fetching `address`; finished() follows. An address without its scheme is taken as https.
    void start(const QString &address);
    /// Stops the fetch; finished() follows with Failed.
    void cancel();

    Outcome outcome() const { return m_outcome; }
    const QString &message() const { return m_message; }
    /// The address the page came from, after any redirect.
    QString address() const { return m_address.toString(); }
    /// The page as it was kept.
    QString pageFile() const;
    /// The page's text, when it holds no recipe data.
    const QString &pageText() const { return m_pageText; }
    /// The pictures fetched, by the address a recipe gives (interchange::Recipe::picture).
    const QHash<QString, QString> &pictures() const { return m_pictures; }
    /// The pictures that could not be kept, and why, a line each.
    const QStringList &pictureProblems() const { return m_pictureProblems; }

signals:
    void finished();

private:
    void pageFetched();
    void nextPicture();
    void pictureFetched();
    void end(Outcome outcome, const QString &message = {});

    QNetworkAccessManager m_manager;
    std::unique_ptr<QTemporaryDir> m_folder;
    WebFetch *m_fetch = nullptr;
    QUrl m_address;
    QString m_pageText;
    QStringList m_wanted; ///< the pictures still to fetch
    QHash<QString, QString> m_pictures;
    QStringList m_pictureProblems;
    QString m_message;
    Outcome m_outcome = Outcome::Running;
    bool m_cancelled = false;
};

} // namespace net
