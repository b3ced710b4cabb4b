#include "store/wordindex.h"

#include <QHash>

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>
#include <string_view>

namespace store {

namespace {

// The block begins with the counts: recipes, words, suffixes, postings, bytes of names, bytes of words.
constexpr quint32 kHeader = 6;
// Every kSampleStep-th sorted suffix's first kSampleBytes bytes (padded with zeros, which no word holds) lie
// together after the counts: a search narrows its range there, on one page, before it reads the suffixes
// and the words, which lie on many. A search of a block kept in a file mapped whole touches few of its pages.
constexpr quint32 kSampleStep = 64;
constexpr quint32 kSampleBytes = 8;
constexpr quint32 kSampleWords = kSampleBytes / 4;

quint64 sampleCount(quint64 suffixCount)
{
    return (suffixCount + kSampleStep - 1) / kSampleStep;
}
// While building, a table of the ASCII characters in one part of one recipe: 128 bits, three parts per recipe.
// The block keeps it turned around: for each part and character, a bit per recipe, so that a search for one
// character reads a bit per recipe.
constexpr quint32 kSignatureWords = 4;
constexpr quint32 kSignaturesPerRecipe = 3 * kSignatureWords;
constexpr quint32 kCharacters = 128;

quint32 planeWords(quint64 count)
{
    return quint32((count + 31) / 32);
}
// A posting is the recipe's place shifted past the three bits of the parts it is found in.
constexpr int kPartBits = 3;

quint32 wordsFor(qsizetype bytes)
{
    return quint32((bytes + 3) / 4);
}

void appendBytes(std::vector<quint32> &blob, const QByteArray &bytes)
{
    const size_t at = blob.size();
    blob.resize(at + wordsFor(bytes.size()), 0);
    std::memcpy(blob.data() + at, bytes.constData(), size_t(bytes.size()));
}

bool isUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

struct WordIndex::Builder::Private
{
    QByteArray names;
    std::vector<quint32> nameOffsets{0};
    std::vector<quint32> signatures;
    std::vector<QByteArray> words;
    std::vector<std::vector<quint32>> postings;
    quint32 count = 0;
    /// The words' places in `words` plus one, by their hash, with room for twice as many (0: free).
    std::vector<quint32> table = std::vector<quint32>(1024, 0);
    std::vector<quint64> hashes;

    QByteArray folded; ///< the part being added, its memory used again
    void addPart(QStringView text, int part, quint32 *signature);
    quint32 idOf(std::string_view word);
};

namespace {

quint64 hashOf(std::string_view word)
{
    quint64 hash = 0x9E3779B97F4A7C15ull ^ word.size();
    size_t i = 0;
    for (; i + 8 <= word.size(); i += 8) {
        quint64 eight;
        std::memcpy(&eight, word.data() + i, sizeof eight);
        hash = (hash ^ eight) * 0xff51afd7ed558ccdull;
        hash ^= hash >> 32;
    }
    quint64 last = 0;
    std::memcpy(&last, word.data() + i, word.size() - i);
    hash = (hash ^ last) * 0xc4ceb9fe1a85ec53ull;
    return hash ^ (hash >> 29);
}

} // namespace

// The place of `word` among the words, a new one when it is new: a table of its own, as a recipe's words
// are looked up some fifty times a recipe.
quint32 WordIndex::Builder::Private::idOf(std::string_view word)
{
    const quint64 hash = hashOf(word);
    size_t mask = table.size() - 1;
    size_t at = size_t(hash) & mask;
    for (; table[at] != 0; at = (at + 1) & mask) {
        const quint32 id = table[at] - 1;
        if (hashes[id] == hash && std::string_view(words[id].constData(), size_t(words[id].size())) == word)
            return id;
    }
    const auto id = quint32(words.size());
    words.emplace_back(word.data(), qsizetype(word.size()));
    hashes.push_back(hash);
    postings.emplace_back();
    table[at] = id + 1;
    if (2 * words.size() > table.size()) {
        // Twice the room, each word again at the place its hash gives.
        table.assign(table.size() * 2, 0);
        mask = table.size() - 1;
        for (quint32 w = 0; w < words.size(); ++w) {
            size_t place = size_t(hashes[w]) & mask;
            while (table[place] != 0)
                place = (place + 1) & mask;
            table[place] = w + 1;
        }
    }
    return id;
}

void WordIndex::Builder::Private::addPart(QStringView text, int part, quint32 *signature)
{
    scan::foldInto(text, folded);
    const char *c = folded.constData();
    const char *end = c + folded.size();
    while (c != end) {
        while (c != end && (*c == ' ' || *c == '\0'))
            ++c;
        const char *start = c;
        while (c != end && *c != ' ' && *c != '\0') {
            const auto byte = static_cast<unsigned char>(*c++);
            if (byte < 0x80)
                signature[byte / 32] |= 1u << (byte % 32);
        }
        if (c == start)
            continue;
        std::vector<quint32> &list = postings[idOf(std::string_view(start, size_t(c - start)))];
        const quint32 bit = 1u << part;
        if (!list.empty() && list.back() >> kPartBits == count)
            list.back() |= bit;
        else
            list.push_back(count << kPartBits | bit);
    }
}

WordIndex::Builder::Builder() : d(std::make_unique<Private>())
{}
WordIndex::Builder::~Builder() = default;
WordIndex::Builder::Builder(Builder &&) noexcept = default;
WordIndex::Builder &WordIndex::Builder::operator=(Builder &&) noexcept = default;

void WordIndex::Builder::add(const QString &name, const scan::SearchedFields &fields)
{
    scan::SearchedViews views;
    for (size_t i = 0; i < fields.size(); ++i)
        views[i] = fields[i];
    add(name, views);
}

void WordIndex::Builder::add(const QString &name, const scan::SearchedViews &fields)
{
    d->names += name.toUtf8();
    d->nameOffsets.push_back(quint32(d->names.size()));
    const size_t at = d->signatures.size();
    d->signatures.resize(at + kSignaturesPerRecipe, 0);
    quint32 *signature = d->signatures.data() + at;
    d->addPart(name, 0, signature);
    for (int i = 0; i + 1 < scan::kSearchedFieldCount; ++i)
        d->addPart(fields[size_t(i)], 1, signature + kSignatureWords);
    // The lines under "More ingredients:" at the top of the directions are ingredients.
    const QStringView directions = fields.back();
    qsizetype split = 0;
    for (int line = scan::moreIngredientsLines(directions); line > 0 && split <= directions.size(); --line) {
        const qsizetype end = directions.indexOf(u'\n', split);
        split = end < 0 ? directions.size() + 1 : end + 1;
    }
    split = std::min(split, directions.size());
    d->addPart(directions.first(split), 1, signature + kSignatureWords);
    d->addPart(directions.sliced(split), 2, signature + 2 * kSignatureWords);
    ++d->count;
}

WordIndex WordIndex::Builder::finish()
{
    QByteArray wordBytes;
    std::vector<quint32> wordOffsets{0};
    std::vector<quint32> suffixes;
    std::vector<quint32> suffixWords;
    for (const QByteArray &word : d->words) {
        const auto start = quint32(wordBytes.size());
        wordBytes += word;
        wordOffsets.push_back(quint32(wordBytes.size()));
        for (qsizetype i = 0; i < word.size(); ++i) {
            // A needle starts with a whole character: suffixes inside one are never looked for.
            if (!isUtf8Continuation(word[i]))
                suffixes.push_back(start + quint32(i));
        }
    }
    // Each suffix runs to the end of its word; the word is the one whose bytes hold the suffix's start.
    std::vector<quint32> order(suffixes.size());
    std::iota(order.begin(), order.end(), 0u);
    std::vector<quint32> ends(suffixes.size());
    {
        size_t s = 0;
        for (quint32 w = 0; w < d->words.size(); ++w) {
            for (; s < suffixes.size() && suffixes[s] < wordOffsets[w + 1]; ++s) {
                ends[s] = wordOffsets[w + 1];
                suffixWords.push_back(w);
            }
        }
        const char *bytes = wordBytes.constData();
        std::sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
            const std::string_view x(bytes + suffixes[a], ends[a] - suffixes[a]);
            const std::string_view y(bytes + suffixes[b], ends[b] - suffixes[b]);
            const int c = x.compare(y);
            return c != 0 ? c < 0 : a < b;
        });
    }

    std::vector<quint32> blob{d->count,
                              quint32(d->words.size()),
                              quint32(suffixes.size()),
                              0,
                              quint32(d->names.size()),
                              quint32(wordBytes.size())};
    size_t postingCount = 0;
    for (const auto &list : d->postings)
        postingCount += list.size();
    blob[3] = quint32(postingCount);
    blob.reserve(kHeader + kSampleWords * sampleCount(suffixes.size()) + 2 * suffixes.size() + 2 * wordOffsets.size() +
                 wordsFor(wordBytes.size()) + d->nameOffsets.size() + wordsFor(d->names.size()) +
                 3 * kCharacters * planeWords(d->count) + postingCount);
    // First what every search by a word reads, then the names, the characters' planes and the postings.
    for (size_t k = 0; k < order.size(); k += kSampleStep) {
        const quint32 i = order[k];
        char sample[kSampleBytes] = {};
        std::memcpy(sample, wordBytes.constData() + suffixes[i], std::min<size_t>(ends[i] - suffixes[i], kSampleBytes));
        const size_t at = blob.size();
        blob.resize(at + kSampleWords);
        std::memcpy(blob.data() + at, sample, kSampleBytes);
    }
    for (const quint32 i : order) {
        blob.push_back(suffixes[i]);
        blob.push_back(suffixWords[i]);
    }
    blob.insert(blob.end(), wordOffsets.begin(), wordOffsets.end());
    appendBytes(blob, wordBytes);
    quint32 offset = 0;
    blob.push_back(0);
    for (const auto &list : d->postings)
        blob.push_back(offset += quint32(list.size()));
    blob.insert(blob.end(), d->nameOffsets.begin(), d->nameOffsets.end());
    appendBytes(blob, d->names);
    {
        // For each part and character, the recipes whose part holds it.
        const quint32 words = planeWords(d->count);
        const size_t at = blob.size();
        blob.resize(at + 3 * kCharacters * words, 0);
        for (quint32 recipe = 0; recipe < d->count; ++recipe) {
            const quint32 *signature = d->signatures.data() + size_t(recipe) * kSignaturesPerRecipe;
            for (quint32 part = 0; part < 3; ++part) {
                for (quint32 w = 0; w < kSignatureWords; ++w) {
                    for (quint32 bits = signature[part * kSignatureWords + w]; bits != 0; bits &= bits - 1) {
                        const quint32 c = w * 32 + quint32(std::countr_zero(bits));
                        blob[at + (part * kCharacters + c) * words + recipe / 32] |= 1u << (recipe % 32);
                    }
                }
            }
        }
    }
    for (const auto &list : d->postings)
        blob.insert(blob.end(), list.begin(), list.end());
    d = std::make_unique<Private>();
    return *WordIndex::fromBlob(std::move(blob));
}

WordIndex::WordIndex()
{
    // No recipes: the counts, then the one offset of no names, of no words and of no postings.
    static const quint32 kEmpty[kHeader + 3] = {};
    m_data = kEmpty;
    m_size = std::size(kEmpty);
    layOut();
}

std::optional<WordIndex> WordIndex::fromBlob(std::vector<quint32> blob)
{
    auto kept = std::make_shared<const std::vector<quint32>>(std::move(blob));
    const quint32 *data = kept->data();
    const size_t size = kept->size();
    return fromMemory(std::move(kept), data, size);
}

std::optional<WordIndex> WordIndex::fromMemory(std::shared_ptr<const void> keeper, const quint32 *data, size_t size,
                                               Check check, std::shared_ptr<const LateCheck> lateCheck)
{
    WordIndex index;
    index.m_keeper = std::move(keeper);
    index.m_lateCheck = std::move(lateCheck);
    index.m_data = data;
    index.m_size = size;
    if (!index.layOut(check))
        return std::nullopt;
    return index;
}

bool WordIndex::layOut(Check check)
{
    if (m_size < kHeader)
        return false;
    const quint32 *data = m_data;
    const quint64 count = data[0], wordCount = data[1], suffixCount = data[2], postingCount = data[3],
                  nameBytes = data[4], wordBytes = data[5];
    if (count >= (1u << (32 - kPartBits)))
        return false;
    // The sections and their sizes, in 64 bits so that no count can wrap around.
    quint64 at = kHeader;
    const auto section = [&at](quint64 size) {
        const quint64 start = at;
        at += size;
        return quint32(std::min<quint64>(start, 0xFFFFFFFF));
    };
    m_samples = section(kSampleWords * sampleCount(suffixCount));
    m_pairs = section(2 * suffixCount);
    m_wordOffsets = section(wordCount + 1);
    m_words = section((wordBytes + 3) / 4);
    m_postingOffsets = section(wordCount + 1);
    m_nameOffsets = section(count + 1);
    m_names = section((nameBytes + 3) / 4);
    m_signatures = section(3 * kCharacters * planeWords(count));
    m_postings = section(postingCount);
    if (at != m_size)
        return false;
    // A block that finish() made is whole: nothing more is read of it here, so that a block mapped from a file
    // costs only the pages a search reads.
    if (check == Everything && (!holds(m_signatures, m_size) || !checkNumbers()))
        return false;
    m_count = qsizetype(count);
    m_wordCount = quint32(wordCount);
    m_suffixCount = quint32(suffixCount);
    return true;
}

// Offsets rise from 0 to the size they index into, each suffix lies in its word and each sample is its
// suffix's, each posting names a recipe: no search then reads outside the block.
bool WordIndex::checkNumbers() const
{
    const quint32 *data = m_data;
    const quint64 count = data[0], wordCount = data[1], suffixCount = data[2], postingCount = data[3],
                  nameBytes = data[4], wordBytes = data[5];
    const auto rising = [data](quint32 from, quint64 n, quint64 last) {
        if (data[from] != 0 || data[from + n - 1] != last)
            return false;
        for (quint64 i = 1; i < n; ++i) {
            if (data[from + i] < data[from + i - 1])
                return false;
        }
        return true;
    };
    if (!rising(m_nameOffsets, count + 1, nameBytes) || !rising(m_wordOffsets, wordCount + 1, wordBytes) ||
        !rising(m_postingOffsets, wordCount + 1, postingCount))
        return false;
    for (quint64 s = 0; s < suffixCount; ++s) {
        const quint32 start = data[m_pairs + 2 * s];
        const quint32 word = data[m_pairs + 2 * s + 1];
        if (word >= wordCount || start < data[m_wordOffsets + word] || start >= data[m_wordOffsets + word + 1])
            return false;
        if (s % kSampleStep == 0) {
            char sample[kSampleBytes] = {};
            std::memcpy(sample, bytesAt(m_words) + start,
                        std::min<size_t>(data[m_wordOffsets + word + 1] - start, kSampleBytes));
            if (std::memcmp(sample, data + m_samples + kSampleWords * (s / kSampleStep), kSampleBytes) != 0)
                return false;
        }
    }
    quint32 highest = 0;
    for (quint64 p = 0; p < postingCount; ++p)
        highest = std::max(highest, data[m_postings + p]);
    return postingCount == 0 || (highest >> kPartBits) < count;
}

QString WordIndex::name(qsizetype i) const
{
    const quint32 from = m_data[m_nameOffsets + i];
    return QString::fromUtf8(bytesAt(m_names) + from, m_data[m_nameOffsets + i + 1] - from);
}

bool WordIndex::find(const QByteArray &needle, quint8 *masks) const
{
    const quint32 *data = m_data;
    if (needle.size() == 1) {
        // One character: the recipes whose parts hold it.
        const auto c = static_cast<unsigned char>(needle[0]);
        const quint32 words = planeWords(quint64(m_count));
        for (quint32 part = 0; part < 3; ++part) {
            const size_t from = m_signatures + size_t(part * kCharacters + c) * words;
            if (!holds(from, from + words))
                return false;
            const quint32 *plane = data + from;
            for (quint32 word = 0; word < words; ++word) {
                for (quint32 bits = plane[word]; bits != 0; bits &= bits - 1) {
                    const quint32 recipe = word * 32 + quint32(std::countr_zero(bits));
                    if (recipe < m_count) // a damaged block may have bits past the last recipe
                        masks[recipe] |= quint8(1u << part);
                }
            }
        }
        return true;
    }
    // The suffixes that begin with the needle lie together in the sorted suffixes.
    const char *bytes = bytesAt(m_words);
    const quint32 *pairs = data + m_pairs; // each suffix's start in the words' bytes, and its word
    const quint32 *wordOffsets = data + m_wordOffsets;
    const std::string_view wanted(needle.constData(), size_t(needle.size()));
    const auto prefixOf = [&](quint32 s) {
        const quint32 start = pairs[2 * s];
        const quint32 end = wordOffsets[pairs[2 * s + 1] + 1];
        return std::string_view(bytes + start, std::min<size_t>(end - start, wanted.size()));
    };
    // The samples bound the range: those before it begin below the needle, those after it above.
    const size_t compared = std::min<size_t>(wanted.size(), kSampleBytes);
    const auto sampleOf = [&](quint32 j) {
        return std::string_view(reinterpret_cast<const char *>(data + m_samples + kSampleWords * j), compared);
    };
    const std::string_view wantedStart = wanted.substr(0, compared);
    const auto samples = quint32(sampleCount(m_suffixCount));
    quint32 below = 0, above = samples;
    for (quint32 high = samples; below < high;) {
        const quint32 mid = below + (high - below) / 2;
        (sampleOf(mid) < wantedStart ? below = mid + 1 : high = mid);
    }
    for (quint32 low = below; low < above;) {
        const quint32 mid = low + (above - low) / 2;
        (sampleOf(mid) <= wantedStart ? low = mid + 1 : above = mid);
    }
    quint32 low = below == 0 ? 0 : (below - 1) * kSampleStep + 1;
    quint32 high = quint32(std::min<quint64>(quint64(above) * kSampleStep, m_suffixCount));
    while (low < high) {
        const quint32 mid = low + (high - low) / 2;
        if (prefixOf(mid) < wanted)
            low = mid + 1;
        else
            high = mid;
    }
    std::vector<bool> seen(m_wordCount);
    const quint32 *postingOffsets = data + m_postingOffsets;
    const quint32 *postings = data + m_postings;
    for (quint32 s = low; s < m_suffixCount && prefixOf(s) == wanted; ++s) {
        const quint32 word = pairs[2 * s + 1];
        if (seen[word])
            continue;
        seen[word] = true;
        if (!holds(m_postings + postingOffsets[word], m_postings + postingOffsets[word + 1]))
            return false;
        for (quint32 p = postingOffsets[word]; p < postingOffsets[word + 1]; ++p)
            masks[postings[p] >> kPartBits] |= quint8(postings[p] & ((1u << kPartBits) - 1));
    }
    return true;
}

} // namespace store
