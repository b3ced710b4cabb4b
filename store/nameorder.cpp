#include "store/nameorder.h"

#include <algorithm>

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

} // namespace

std::string nameSortKey(std::string_view utf8)
{
    std::string key;
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        // Most names are plain ASCII: the key is made from the bytes as they are.
        key.reserve(utf8.size() + 4);
        appendKey(key, utf8, lower);
        return key;
    }
    // Split letters from their accents and drop the accents: "Éclair" files under E.
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).normalized(QString::NormalizationForm_KD);
    text.removeIf([](QChar c) { return c.isMark(); });
    text = text.toCaseFolded();
    QString folded;
    appendKey(folded, text, [](QChar c) { return c; });
    return folded.toStdString();
}

void sortNames(QStringList &names)
{
    std::vector<std::pair<std::string, qsizetype>> keyed;
    keyed.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keyed.emplace_back(nameSortKey(names.at(i).toStdString()), i);
    // Equal keys fall back on the place, so that equal names keep their order.
    std::sort(keyed.begin(), keyed.end());
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto &entry : keyed)
        sorted.append(names.at(entry.second));
    names = std::move(sorted);
}

} // namespace store
