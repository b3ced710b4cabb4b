#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

/// One entry of a help file's contents: the name shown, the page it opens ("recipes.htm#print", empty for a
/// heading without a page of its own) and the entries below it.
struct HelpTopic
{
    QString name;
    QString local;
    QList<HelpTopic> children;
};

/// Reads the topics of a contents file (the HTML "sitemap" of a compiled help project): every
/// `<OBJECT type="text/sitemap">` with its "Name" and "Local" parameters, nested as the `<UL>` lists nest.
/// Character references in the values are decoded; other objects ("text/site properties") are skipped.
QList<HelpTopic> parseContents(const QString &sitemap);

/// The path of a page inside a help file, as its files are stored: "/welcome.htm" for "welcome.htm",
/// "./welcome.htm#top" or "ms-its:LDHelp.chm::/welcome.htm". Empty for an empty link.
QString helpPagePath(const QString &link);

/// A compiled help file (.chm), read whole into memory with chmlib when it is opened.
///
/// chmlib can crash or return garbage on a damaged file, even while opening it, so only the help viewer's
/// own process opens one. The format has no checksums; opening checks the file as far as it can: the size
/// recorded in its header, every stored file readable to its full length, every text file (pages, contents,
/// style sheets) valid UTF-8 without NUL bytes, every picture readable, and a contents file with at least
/// one topic whose pages all exist.
class ChmFile
{
public:
    ChmFile() = default;

    /// Opens and checks the file at `path`. False, with the reason in error(), when it is missing, is not a
    /// help file or is damaged; the object then holds nothing.
    bool open(const QString &path);

    /// Why the last open() failed.
    QString error() const { return m_error; }

    /// The title the help project gives, or the empty text.
    QString title() const { return m_title; }

    /// The topics of the contents file, in order.
    const QList<HelpTopic> &contents() const { return m_contents; }

    /// The stored file at `path` ("/welcome.htm"; letter case does not matter), or a null array when the help
    /// file holds none.
    QByteArray file(const QString &path) const;

private:
    bool fail(const QString &reason);

    QHash<QString, QByteArray> m_files;
    QString m_title;
    QList<HelpTopic> m_contents;
    QString m_error;
};
