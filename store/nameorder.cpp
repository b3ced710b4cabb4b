#include "store/nameorder.h"

#include <algorithm>
#include <cstring>

namespace store {

namespace {

char16_t code(QChar c)
{
    return c.unicode();
}

char16_t code(char c)
{
    return static_cast<unsigned char>(c);
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Appends `text` to `key`, each run of digits written as its length, then its digits without leading
// zeros. The length is a character that sorts before every letter, so that a longer number comes after
// a shorter one. Every other character goes through `fold`.
template <typename Key, typename Text, typename Fold>
void appendKey(Key &key, const Text &text, Fold fold)
{
    using Char = typename Key::value_type;
    const auto size = qsizetype(text.size());
    for (qsizetype i = 0; i < size;) {
        if (!isDigit(code(text[i]))) {
            key += fold(text[i++]);
            continue;
        }
        qsizetype end = i;
        while (end < size && isDigit(code(text[end])))
            ++end;
        while (i < end - 1 && code(text[i]) == u'0')
            ++i;
        key += Char(char16_t(u'0' + std::min<qsizetype>(end - i, 48)));
        for (; i < end; ++i)
            key += text[i];
    }
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

void appendNameSortKey(std::string &key, std::string_view utf8)
{
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        // Most names are plain ASCII: the key is made from the bytes as they are.
        appendKey(key, utf8, lower);
        return;
    }
    // Split letters from their accents and drop the accents: "Éclair" files under E.
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).normalized(QString::NormalizationForm_KD);
    text.removeIf([](QChar c) { return c.isMark(); });
    text = text.toCaseFolded();
    QString folded;
    appendKey(folded, text, [](QChar c) { return c; });
    key += folded.toStdString();
}

} // namespace

std::string nameSortKey(std::string_view utf8)
{
    std::string key;
    key.reserve(utf8.size() + 4);
    appendNameSortKey(key, utf8);
    return key;
}

std::vector<size_t> orderByName(const std::vector<std::string_view> &names)
{
    // Keys compare as bytes, shorter first, and equal keys by the names' places. The first 24 bytes of each
    // key, padded with zeros, are compared as three numbers; only keys alike that far compare the rest.
    struct Keyed
    {
        quint64 head[3];
        quint32 start;
        quint32 length;
        size_t place;
    };
    std::string keys;
    size_t size = 0;
    for (const std::string_view name : names)
        size += name.size() + 4;
    keys.reserve(size);
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    for (size_t place = 0; place < names.size(); ++place) {
        const size_t start = keys.size();
        appendNameSortKey(keys, names[place]);
        Keyed entry{{0, 0, 0}, quint32(start), quint32(keys.size() - start), place};
        for (size_t i = 0; i < 24; ++i) {
            const auto byte = i < entry.length ? static_cast<unsigned char>(keys[start + i]) : 0u;
            entry.head[i / 8] = entry.head[i / 8] << 8 | byte;
        }
        keyed.push_back(entry);
    }
    const char *bytes = keys.data();
    std::sort(keyed.begin(), keyed.end(), [bytes](const Keyed &a, const Keyed &b) {
        if (a.head[0] != b.head[0])
            return a.head[0] < b.head[0];
        if (a.head[1] != b.head[1])
            return a.head[1] < b.head[1];
        if (a.head[2] != b.head[2])
            return a.head[2] < b.head[2];
        if (a.length > 24 && b.length > 24) {
            if (const int order =
                    std::memcmp(bytes + a.start + 24, bytes + b.start + 24, std::min(a.length, b.length) - 24))
                return order < 0;
        }
        return a.length != b.length ? a.length < b.length : a.place < b.place;
    });
    std::vector<size_t> order;
    order.reserve(keyed.size());
    for (const Keyed &entry : keyed)
        order.push_back(entry.place);
    return order;
}

void sortNames(QStringList &names)
{
    std::vector<std::string> utf8;
    utf8.reserve(size_t(names.size()));
    for (const QString &name : std::as_const(names))
        utf8.push_back(name.toStdString());
    const std::vector<size_t> order = orderByName(std::vector<std::string_view>(utf8.begin(), utf8.end()));
    QStringList sorted;
    sorted.reserve(names.size());
    for (const size_t place : order)
        sorted.append(names.at(qsizetype(place)));
    names = std::move(sorted);
}

} // namespace store
