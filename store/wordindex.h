#pragma once

#include "store/recipescan.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace store {

/// The recipes of one category and an index of their words, so that a search finds the recipes that hold a
/// part of a word without reading their text.
///
/// Every word of a recipe (its text parted at blanks and line breaks, folded as store/recipescan.h folds) is
/// listed once per category with the recipes and the parts (name, ingredients, directions) it is found in.
/// A part of a word is looked up among the sorted suffixes of the words: the suffixes that begin with it
/// name the words that hold it, and those words' lists name the recipes. A single character is looked up in
/// a table of the characters each part of each recipe holds. A search costs the words and recipes it finds,
/// not the size of the category.
///
/// The index is one block of 32-bit numbers, laid out as it is kept on disk (store/indexcache.h), so that a
/// cache is read back without building anything.
class WordIndex
{
public:
    /// Adds recipes in order: their order is the index's.
    class Builder
    {
    public:
        Builder();
        ~Builder();
        Builder(Builder &&) noexcept;
        Builder &operator=(Builder &&) noexcept;
        void add(const QString &name, const scan::SearchedFields &fields);
        void add(const QString &name, const scan::SearchedViews &fields);
        WordIndex finish();

    private:
        struct Private;
        std::unique_ptr<Private> d;
    };

    /// Says whether numbers of a block may be read: a block kept in a file has the parts that only some
    /// searches read checked when one first needs them (store/indexcache.h).
    class LateCheck
    {
    public:
        virtual ~LateCheck() = default;
        /// Whether the numbers [from, to) of the block are as written.
        virtual bool holds(size_t from, size_t to) const = 0;
    };

    WordIndex();
    /// The index laid out in `blob`; nothing when the block does not hold a whole, consistent index.
    static std::optional<WordIndex> fromBlob(std::vector<quint32> blob);
    /// How much of a block is checked.
    enum Check {
        Everything, ///< each number: no block makes a search read outside it
        Written,    ///< the sizes of the sections only, for a block known to be one
                    ///< that finish() made (its checksum holds)
    };
    /// The same for a block of `size` numbers at `data` that `keeper` holds.
    /// With a `lateCheck`, the numbers from lateFrom() on are read only once it says they hold.
    static std::optional<WordIndex> fromMemory(std::shared_ptr<const void> keeper, const quint32 *data, size_t size,
                                               Check check = Everything,
                                               std::shared_ptr<const LateCheck> lateCheck = nullptr);
    std::span<const quint32> blob() const { return {m_data, m_size}; }
    /// Where the parts that only some searches read begin in the block: the characters' planes, read for a
    /// single character, and the postings, of which a search reads those of the words it finds.
    size_t lateFrom() const { return m_signatures; }

    qsizetype size() const { return m_count; }
    /// The file name of recipe `i`.
    QString name(qsizetype i) const;
    /// Sets in masks[i] the parts (store::scan::Part) of recipe i in which `needle` (folded) is found; false
    /// when a part of the block it needs fails its late check (masks are then of no use).
    [[nodiscard]] bool find(const QByteArray &needle, quint8 *masks) const;

private:
    bool layOut(Check check = Everything);
    bool checkNumbers() const;
    const char *bytesAt(quint32 section) const { return reinterpret_cast<const char *>(m_data + section); }

    bool holds(size_t from, size_t to) const { return !m_lateCheck || m_lateCheck->holds(from, to); }

    std::shared_ptr<const void> m_keeper; ///< holds the block
    std::shared_ptr<const LateCheck> m_lateCheck;
    const quint32 *m_data = nullptr;
    size_t m_size = 0;
    qsizetype m_count = 0;
    // Where each section starts in the block.
    quint32 m_samples = 0, m_pairs = 0, m_wordOffsets = 0, m_words = 0, m_postingOffsets = 0, m_nameOffsets = 0,
            m_names = 0, m_signatures = 0, m_postings = 0;
    quint32 m_wordCount = 0, m_suffixCount = 0;
};

} // namespace store
