#pragma once

#include <QFlags>
#include <QList>
#include <QString>

#include <memory>

namespace store {

/// Every recipe of every category, with an index of their words (store/wordindex.h) kept in memory and, between
/// runs, in the work folder (store/indexcache.h), so that a search by words answers at once.
///
/// The categories are those of the category list read as the recipe screens read it (delimited fields);
/// a listed category whose folder is missing or whose name cannot be a folder is left out without a
/// word, and so is a second listing of the same folder. A recipe file that cannot be read, or that ends
/// before its last field, is left out and counted. A refresh reads again only the categories whose folder
/// changed (a recipe saved, renamed or deleted there) since they were read, and those whose time lay within
/// 2 s of their reading (file times move in steps of up to 2 s); a category not in memory is taken from its
/// cache when that holds, else read from its files (and from its files during a search whose cache block fails
/// its check). It can run in slices, so that a window stays responsive while thousands of files are read the
/// first time.
class RecipeIndex
{
public:
    /// Where a search looks.
    enum Field {
        Names = 0x1,
        Ingredients = 0x2,
        Directions = 0x4,
    };
    Q_DECLARE_FLAGS(Fields, Field)

    /// A recipe that a search found.
    struct Hit
    {
        QString category; ///< as the category list names it
        QString name;     ///< the recipe's file name
        QString matched;  ///< the ingredients and lines of directions the words were found in, "; " between
    };

    /// The recipes a search found, in order; each is made into a Hit only when asked for, so that a search
    /// that finds 100,000 recipes makes no 100,000 of anything but numbers. It outlasts the index's refreshes.
    class Found
    {
    public:
        Found();
        qsizetype size() const;
        QString category(qsizetype i) const;
        QString name(qsizetype i) const;
        /// The recipe with what it was found in; this reads its file, and `matched` is empty when the file
        /// cannot be read any more.
        Hit hit(qsizetype i) const;

    private:
        friend class RecipeIndex;
        struct Data;
        std::shared_ptr<const Data> d;
    };

    RecipeIndex();
    ~RecipeIndex();
    RecipeIndex(const RecipeIndex &) = delete;
    RecipeIndex &operator=(const RecipeIndex &) = delete;

    /// Starts a refresh: reads the category list and looks at each category folder's time. Nothing is
    /// read from the recipe files yet. A refresh under way starts over.
    void beginRefresh();
    /// Reads on for about `budgetMs` milliseconds; returns true when the refresh is done. The recipes read
    /// take the place of the old ones only at the end, so that searches meanwhile see the index as it was.
    bool continueRefresh(int budgetMs);
    /// A whole refresh in one go.
    void refresh();
    bool isRefreshing() const;
    /// How far a refresh has come: categories read, out of those it reads.
    int categoriesRead() const;
    int categoriesToRead() const;

    /// The recipes in which every word of `words` (split at blanks) is found in one of `fields`, a part of
    /// a word being enough; letter case and accents do not count ("creme" finds "Crème brûlée"). Sorted by
    /// category, then by name, in the order of store/nameorder.h. No words find every recipe; no fields
    /// find none.
    Found find(const QString &words, Fields fields) const;
    /// Every recipe find() finds, made into hits.
    QList<Hit> search(const QString &words, Fields fields) const;

    qsizetype recipeCount() const;
    /// The recipe files that could not be read, in the categories the index holds.
    int unreadableCount() const;

private:
    struct Private;
    const std::unique_ptr<Private> d;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(RecipeIndex::Fields)

} // namespace store
