#include "store/io/nameorder.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>

namespace store {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Appends the UTF-8 `text` to `key`, each run of digits written as its length, then its digits without
// leading zeros. The length is a character that sorts before every letter, so that a longer number comes
// after a shorter one. Every other byte goes through `fold`.
template <typename Fold>
void appendKey(std::string &key, std::string_view text, Fold fold)
{
    // A run of digits gains one character at most.
    const size_t start = key.size();
    key.resize(start + 2 * text.size());
    char *out = key.data() + start;
    for (size_t i = 0; i < text.size();) {
        if (!isDigit(text[i])) {
            *out++ = fold(text[i++]);
            continue;
        }
        size_t end = i;
        while (end < text.size() && isDigit(text[end]))
            ++end;
        while (i < end - 1 && text[i] == '0')
            ++i;
        *out++ = char('0' + std::min<size_t>(end - i, 48));
        for (; i < end; ++i)
            *out++ = text[i];
    }
    key.resize(size_t(out - key.data()));
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// A name's letters without their accents and in one case: "Éclair" files under E.
QString foldText(const QString &name)
{
    QString text = name.normalized(QString::NormalizationForm_KD);
    text.removeIf([](QChar c) { return c.isMark(); });
    return text.toCaseFolded();
}

// What foldText() makes of each character from U+0080 to U+00FF, as UTF-8. These characters fold one by
// one, so a name made of them and of ASCII folds through this table at a fraction of the cost.
const std::array<std::string, 128> &latin1Folds()
{
    static const std::array<std::string, 128> folds = [] {
        std::array<std::string, 128> table;
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = foldText(QString(QChar(char16_t(0x80 + i)))).toStdString();
        return table;
    }();
    return folds;
}

// Whether every character of `utf8` is below U+0100: ASCII, or two bytes led by 0xC2 or 0xC3.
bool isLatin1(std::string_view utf8)
{
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80)
            continue;
        if ((c != 0xC2 && c != 0xC3) || i + 1 == utf8.size() ||
            (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) != 0x80)
            return false;
        ++i;
    }
    return true;
}

void appendNameSortKey(std::string &key, std::string_view utf8)
{
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        // Most names are plain ASCII: the key is made from the bytes as they are.
        appendKey(key, utf8, lower);
        return;
    }
    const auto same = [](char c) { return c; };
    if (isLatin1(utf8)) {
        const std::array<std::string, 128> &folds = latin1Folds();
        std::string folded;
        folded.reserve(utf8.size() + 4);
        for (size_t i = 0; i < utf8.size(); ++i) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                folded += lower(char(c));
            } else {
                folded += folds[size_t((c & 0x1F) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F)) - 0x80];
                ++i;
            }
        }
        appendKey(key, folded, same);
        return;
    }
    appendKey(key, foldText(QString::fromUtf8(utf8.data(), qsizetype(utf8.size()))).toStdString(), same);
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
        uchar head[24] = {};
        std::memcpy(head, keys.data() + start, std::min<size_t>(entry.length, sizeof head));
        for (size_t i = 0; i < 3; ++i)
            entry.head[i] = qFromBigEndian<quint64>(head + 8 * i);
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
