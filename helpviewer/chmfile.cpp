#include "helpviewer/chmfile.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <chm_lib.h>

namespace {

// A help file is a few hundred kilobytes; these limits only keep a damaged directory from asking for
// absurd amounts of memory.
constexpr quint64 kLargestStoredFile = 64 * 1024 * 1024;
constexpr quint64 kLargestHelpFile = 256 * 1024 * 1024;

// The fixed part of a help file's header: the signature "ITSF", its version, and where header section 0
// lies, which records the size of the whole file.
constexpr qsizetype kHeaderSize = 0x58;
constexpr qsizetype kSection0OffsetAt = 0x38;
constexpr qsizetype kSection0LengthAt = 0x40;
constexpr qsizetype kSection0FileSizeAt = 8;

// Records of the project's settings in "/#SYSTEM".
enum SystemCode { SystemContentsFile = 0, SystemTitle = 3 };

// The number stored at `at`, or 0 when the bytes end before it.
template <typename T>
T littleEndian(const QByteArray &bytes, qsizetype at)
{
    if (at < 0 || at > bytes.size() - qsizetype(sizeof(T)))
        return 0;
    return qFromLittleEndian<T>(bytes.constData() + at);
}

bool isTextFile(const QString &path)
{
    static const QStringList suffixes = {QStringLiteral(".htm"), QStringLiteral(".html"), QStringLiteral(".hhc"),
                                         QStringLiteral(".hhk"), QStringLiteral(".css")};
    return std::any_of(suffixes.begin(), suffixes.end(), [&](const QString &s) { return path.endsWith(s); });
}

bool isPicture(const QString &path)
{
    static const QStringList suffixes = {QStringLiteral(".png"), QStringLiteral(".jpg"), QStringLiteral(".jpeg"),
                                         QStringLiteral(".gif"), QStringLiteral(".bmp")};
    return std::any_of(suffixes.begin(), suffixes.end(), [&](const QString &s) { return path.endsWith(s); });
}

bool isCleanText(const QByteArray &bytes)
{
    if (bytes.contains('\0'))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return !utf8.hasError();
}

QString untilNul(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromUtf8(end < 0 ? bytes : bytes.left(end));
}

// Everything chm_enumerate hands over while the help file is read into memory.
struct Reading
{
    QHash<QString, QByteArray> files;
    quint64 total = 0;
    QString error;
};

int readStoredFile(chmFile *handle, chmUnitInfo *unit, void *context)
{
    auto *reading = static_cast<Reading *>(context);
    const QString path = QString::fromUtf8(unit->path, qsizetype(qstrnlen(unit->path, sizeof unit->path)));
    if (unit->length > kLargestStoredFile || reading->total + unit->length > kLargestHelpFile) {
        reading->error = QStringLiteral("%1 is too large").arg(path);
        return CHM_ENUMERATOR_FAILURE;
    }
    QByteArray data(qsizetype(unit->length), Qt::Uninitialized);
    if (unit->length > 0) {
        const LONGINT64 got = chm_retrieve_object(handle, unit, reinterpret_cast<unsigned char *>(data.data()), 0,
                                                  LONGINT64(unit->length));
        if (got != LONGINT64(unit->length)) {
            reading->error = QStringLiteral("%1 cannot be read whole").arg(path);
            return CHM_ENUMERATOR_FAILURE;
        }
    }
    reading->total += unit->length;
    reading->files.insert(path.toLower(), data);
    return CHM_ENUMERATOR_CONTINUE;
}

// The size of the whole file, as its header records it; -1 when the file is not a help file.
qint64 recordedSize(QFile &file)
{
    const QByteArray header = file.read(kHeaderSize);
    if (header.size() < kHeaderSize || !header.startsWith("ITSF"))
        return -1;
    const auto section0 = littleEndian<quint64>(header, kSection0OffsetAt);
    const auto section0Length = littleEndian<quint64>(header, kSection0LengthAt);
    if (section0Length < kSection0FileSizeAt + 8 || section0 > quint64(file.size()) || !file.seek(qint64(section0)))
        return -1;
    const QByteArray section = file.read(kSection0FileSizeAt + 8);
    if (section.size() < kSection0FileSizeAt + 8)
        return -1;
    return qint64(littleEndian<quint64>(section, kSection0FileSizeAt));
}

QString decodeReferences(const QString &text)
{
    static const QRegularExpression reference(QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[A-Za-z]+);"));
    static const QHash<QString, QString> named = {
        {QStringLiteral("amp"), QStringLiteral("&")},  {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},   {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")}, {QStringLiteral("nbsp"), QString(QChar(0xA0))},
    };
    QString decoded;
    qsizetype done = 0;
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString name = match.captured(1);
        QString replacement = match.captured(0);
        if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name.at(1) == QLatin1Char('x') || name.at(1) == QLatin1Char('X'));
            const uint code = hex ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF) {
                const char32_t character = code;
                replacement = QString::fromUcs4(&character, 1);
            }
        } else if (const auto found = named.constFind(name); found != named.constEnd()) {
            replacement = *found;
        }
        decoded += QStringView(text).mid(done, match.capturedStart() - done);
        decoded += replacement;
        done = match.capturedEnd();
    }
    decoded += QStringView(text).mid(done);
    return decoded;
}

QHash<QString, QString> attributesOf(const QString &tagBody)
{
    static const QRegularExpression attribute(
        QStringLiteral(R"re(([A-Za-z_:][-A-Za-z0-9_:.]*)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"));
    QHash<QString, QString> attributes;
    for (auto it = attribute.globalMatch(tagBody); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QString value = match.captured(2);
        if (value.isNull())
            value = match.captured(3);
        if (value.isNull())
            value = match.captured(4);
        attributes.insert(match.captured(1).toLower(), decodeReferences(value));
    }
    return attributes;
}

struct FlatTopic
{
    int depth;
    HelpTopic topic;
};

// Builds the tree from topics in document order with their list depths. A topic deeper than the one before
// it belongs to that one; a deeper topic with nothing before it stands at the level it starts.
QList<HelpTopic> buildTree(const QList<FlatTopic> &flat, qsizetype &next, int depth)
{
    QList<HelpTopic> topics;
    while (next < flat.size() && flat.at(next).depth >= depth) {
        if (flat.at(next).depth > depth && !topics.isEmpty()) {
            topics.last().children += buildTree(flat, next, flat.at(next).depth);
            continue;
        }
        topics.append(flat.at(next).topic);
        ++next;
    }
    return topics;
}

} // namespace

QList<HelpTopic> parseContents(const QString &sitemap)
{
    static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(QStringLiteral(R"re(<\s*(/?)\s*([A-Za-z]+)((?:[^>"']|"[^"]*"|'[^']*')*)>)re"));

    QString text = sitemap;
    text.remove(comment);

    QList<FlatTopic> flat;
    int depth = 0;
    bool inTopic = false;
    HelpTopic topic;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const bool closing = !match.capturedView(1).isEmpty();
        const QString name = match.captured(2).toLower();
        if (name == u"ul") {
            depth = closing ? std::max(0, depth - 1) : depth + 1;
        } else if (name == u"object" && !closing) {
            const QString type = attributesOf(match.captured(3)).value(QStringLiteral("type"));
            inTopic = type.compare(u"text/sitemap", Qt::CaseInsensitive) == 0;
            topic = HelpTopic();
        } else if (name == u"object" && closing) {
            if (inTopic)
                flat.append({depth, topic});
            inTopic = false;
        } else if (name == u"param" && inTopic) {
            const QHash<QString, QString> attributes = attributesOf(match.captured(3));
            const QString param = attributes.value(QStringLiteral("name"));
            const QString value = attributes.value(QStringLiteral("value"));
            // A topic may carry several pages; the first name and the first page are the ones shown.
            if (param.compare(u"Name", Qt::CaseInsensitive) == 0 && topic.name.isEmpty())
                topic.name = value.simplified();
            else if (param.compare(u"Local", Qt::CaseInsensitive) == 0 && topic.local.isEmpty())
                topic.local = value.trimmed();
        }
    }
    int top = flat.isEmpty() ? 0 : flat.first().depth;
    for (const FlatTopic &entry : std::as_const(flat))
        top = std::min(top, entry.depth);
    qsizetype next = 0;
    return buildTree(flat, next, top);
}

QString helpPagePath(const QString &link)
{
    QString path = link.trimmed();
    if (const qsizetype archive = path.indexOf(QLatin1String("::")); archive >= 0)
        path = path.mid(archive + 2);
    static const QRegularExpression fragment(QStringLiteral("[#?]"));
    if (const qsizetype end = path.indexOf(fragment); end >= 0)
        path.truncate(end);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.startsWith(QLatin1String("./")))
        path.remove(0, 2);
    if (path.isEmpty())
        return {};
    return path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
}

bool ChmFile::fail(const QString &reason)
{
    m_files.clear();
    m_contents.clear();
    m_title.clear();
    m_error = reason;
    return false;
}

bool ChmFile::open(const QString &path)
{
    fail(QString());
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1 cannot be opened: %2").arg(path, file.errorString()));
        const qint64 recorded = recordedSize(file);
        if (recorded < 0)
            return fail(QStringLiteral("%1 is not a compiled help file").arg(path));
        if (recorded != file.size())
            return fail(QStringLiteral("%1 is incomplete or damaged: it has %2 bytes, its header says %3")
                            .arg(path)
                            .arg(file.size())
                            .arg(recorded));
    }

    chmFile *handle = chm_open(QFile::encodeName(path).constData());
    if (!handle)
        return fail(QStringLiteral("%1 is damaged: its directory cannot be read").arg(path));
    Reading reading;
    const int enumerated = chm_enumerate(handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_SPECIAL | CHM_ENUMERATE_FILES,
                                         readStoredFile, &reading);
    chm_close(handle);
    if (!reading.error.isEmpty() || !enumerated)
        return fail(QStringLiteral("%1 is damaged: %2").arg(path, reading.error));
    m_files = std::move(reading.files);
    for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
        if (isTextFile(it.key()) && !isCleanText(it.value()))
            return fail(QStringLiteral("%1 is damaged: %2 is not readable text").arg(path, it.key()));
        if (isPicture(it.key()) && QImage::fromData(it.value()).isNull())
            return fail(QStringLiteral("%1 is damaged: the picture %2 cannot be read").arg(path, it.key()));
    }

    QString contentsFile;
    // "/#SYSTEM" holds the project's settings: a version, then records of a code, a length and a value.
    const QByteArray settings = m_files.value(QStringLiteral("/#system"));
    for (qsizetype at = 4; at + 4 <= settings.size();) {
        const auto code = littleEndian<quint16>(settings, at);
        const auto length = littleEndian<quint16>(settings, at + 2);
        if (at + 4 + length > settings.size())
            return fail(QStringLiteral("%1 is damaged: its settings are cut short").arg(path));
        const QString value = untilNul(settings.mid(at + 4, length));
        if (code == SystemContentsFile)
            contentsFile = helpPagePath(value);
        else if (code == SystemTitle)
            m_title = value;
        at += 4 + length;
    }
    if (contentsFile.isEmpty()) {
        QStringList candidates;
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
            if (it.key().endsWith(QLatin1String(".hhc")))
                candidates.append(it.key());
        }
        candidates.sort();
        contentsFile = candidates.value(0);
    }
    const QByteArray sitemap = file(contentsFile);
    if (sitemap.isNull())
        return fail(QStringLiteral("%1 has no contents").arg(path));
    m_contents = parseContents(QString::fromUtf8(sitemap));

    // Every page the contents lead to must be there; a topic without a page of its own is a heading.
    bool anyPage = false;
    QList<const HelpTopic *> pending;
    for (const HelpTopic &topic : std::as_const(m_contents))
        pending.append(&topic);
    while (!pending.isEmpty()) {
        const HelpTopic *topic = pending.takeFirst();
        if (!topic->local.isEmpty()) {
            if (file(helpPagePath(topic->local)).isNull())
                return fail(QStringLiteral("%1 is damaged: the page %2 is missing").arg(path, topic->local));
            anyPage = true;
        }
        for (const HelpTopic &child : topic->children)
            pending.append(&child);
    }
    if (!anyPage)
        return fail(QStringLiteral("%1 has no contents").arg(path));
    return true;
}

QByteArray ChmFile::file(const QString &path) const
{
    if (path.isEmpty())
        return {};
    return m_files.value(path.toLower());
}
