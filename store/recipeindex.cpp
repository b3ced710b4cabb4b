#include "store/recipeindex.h"

#include "store/appfolder.h"
#include "store/categorylist.h"
#include "store/fileops.h"
#include "store/indexcache.h"
#include "store/io/failure.h"
#include "store/io/filename.h"
#include "store/io/nameorder.h"
#include "store/io/textfile.h"
#include "store/recipefile.h"
#include "store/recipescan.h"
#include "store/wordindex.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <dirent.h>
#include <limits>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

namespace store {

namespace {

// The masks of this many words stay, so that each key typed looks up only the word it changes.
constexpr qsizetype kKeptWords = 8;

struct Category
{
    QString name;   ///< as the category list names it
    QString folder; ///< the folder's path
    qint64 modified = -1;
    qint64 readAt = -1;
    int unreadable = 0;
    std::shared_ptr<const WordIndex> index = std::make_shared<const WordIndex>();

    // While the category is being read.
    QStringList files;
    /// The names of the folder as the file system spells them, by the names `files` shows, made only when a
    /// name shown does not reach its file (one that is not UTF-8).
    QHash<QString, QString> spelled;
    WordIndex::Builder builder;

    bool racy() const { return readAt - modified < indexcache::kRacyNs; }
    QString folderName() const { return QFileInfo(folder).fileName(); }
};

qint64 nowNs()
{
    return QDateTime::currentMSecsSinceEpoch() * 1'000'000;
}

} // namespace

struct RecipeIndex::Found::Data
{
    std::vector<std::pair<QString, std::shared_ptr<const WordIndex>>> categories;
    std::vector<qsizetype> starts; ///< of each category's recipes among all, and the count of all at the end
    /// A bit per recipe among all, set for those found (a few kB, where a list of places would take a
    /// fresh block of memory at each key), and the count of those found before each word of bits.
    std::vector<quint64> found;
    std::vector<quint32> before;
    QList<QByteArray> needles;
    int parts = 0;

    qsizetype size() const { return found.empty() ? 0 : before.back() + std::popcount(found.back()); }
    std::pair<size_t, qsizetype> at(qsizetype i) const
    {
        // The word that holds the i-th recipe found, then the bit in it.
        const size_t word = size_t(std::upper_bound(before.begin(), before.end(), quint32(i)) - before.begin()) - 1;
        quint64 bits = found[word];
        for (qsizetype skip = i - before[word]; skip > 0; --skip)
            bits &= bits - 1;
        const qsizetype place = qsizetype(word * 64 + size_t(std::countr_zero(bits)));
        const size_t category = size_t(std::upper_bound(starts.begin(), starts.end(), place) - starts.begin()) - 1;
        return {category, place - starts[category]};
    }
};

RecipeIndex::Found::Found() : d(std::make_shared<const Data>())
{}

qsizetype RecipeIndex::Found::size() const
{
    return d->size();
}

QString RecipeIndex::Found::category(qsizetype i) const
{
    return d->categories[d->at(i).first].first;
}

QString RecipeIndex::Found::name(qsizetype i) const
{
    const auto [category, recipe] = d->at(i);
    return d->categories[category].second->name(recipe);
}

RecipeIndex::Hit RecipeIndex::Found::hit(qsizetype i) const
{
    Hit hit{category(i), name(i), QString()};
    if (const auto fields = scan::readSearchedFields(hit.category, hit.name)) {
        const scan::Text text = scan::makeText(hit.name, *fields);
        QList<qsizetype> places;
        if (scan::matches(text, d->needles, d->parts, &places))
            hit.matched = scan::matchedText(text, places);
    }
    return hit;
}

struct RecipeIndex::Private
{
    std::vector<Category> categories; ///< sorted by name
    std::vector<qsizetype> starts;    ///< of each category's recipes among all, and their count at the end
    // A refresh under way: the categories that stay as they are, and those being read.
    bool refreshing = false;
    std::vector<std::pair<size_t, QString>> kept; ///< index into `categories`, with the name now listed
    std::vector<Category> reading;
    // The categories being read are read on threads of their own, a category at a time each: reading and
    // indexing one category's files overlaps another's, and a window waits for none of it.
    std::vector<std::thread> readers;
    std::atomic<size_t> nextToRead = 0;
    std::atomic<bool> stopping = false;
    mutable std::mutex doneMutex;
    std::condition_variable doneChanged;
    size_t done = 0; ///< categories read, under doneMutex
    /// The parts of each recipe that each word of the last searches is found in, one byte per recipe.
    mutable QHash<QByteArray, std::vector<quint8>> masks;
    mutable QList<QByteArray> maskOrder;

    ~Private() { stopReading(); }
    void startReading();
    void stopReading();
    void readCategories();
    /// Reads `category` from its cache when that holds (`cached`), else from its files, and keeps it again.
    void readCategory(Category &category, bool cached = true) const;
    void readFile(Category &category, const QString &name) const;
    void commit();
    /// The masks of `needle`, kept among those of the last words; those of `inUse` stay meanwhile. Nothing
    /// when a category's cache failed a check on the way: that category has then been read again from its files
    /// (readAgain()), and the search starts over.
    const std::vector<quint8> *masksOf(const QByteArray &needle, const QList<QByteArray> &inUse);
    void readAgain(size_t at);
    void recount();
};

void RecipeIndex::Private::readFile(Category &category, const QString &name) const
{
    try {
        TextReader reader = [&] {
            // The name as listed reaches its file, but for a name that is not UTF-8: that one is listed as
            // the user reads it, and is reached by the bytes the folder spells it with.
            try {
                return TextReader::open(category.folder + QLatin1Char('/') + name);
            } catch (const Failure &failure) {
                if (failure.number() != Failure::FileNotFound && failure.number() != Failure::PathNotFound)
                    throw;
                if (category.spelled.isEmpty()) {
                    if (DIR *dir = ::opendir(encodeFileName(category.folder).constData())) {
                        while (const dirent *entry = ::readdir(dir)) {
                            const QString decoded = decodeFileName(QByteArray(entry->d_name));
                            category.spelled.insert(displayName(decoded), decoded);
                        }
                        ::closedir(dir);
                    }
                }
                const auto spelling = category.spelled.constFind(name);
                if (spelling == category.spelled.cend() || *spelling == name)
                    throw;
                return TextReader::open(category.folder + QLatin1Char('/') + *spelling);
            }
        }();
        // The searched fields, as views of the file's text where they read as written.
        scan::SearchedViews fields;
        scan::SearchedFields built;
        QString scratch;
        // Records until the end, each taking the place of the one before, as the recipe screens read them.
        while (!reader.atEnd()) {
            for (int field = 0; field < RecipeRecord::kFieldCount; ++field) {
                const int searched = field - 2 * RecipeRecord::kRowCount;
                if (searched < 0 || searched >= scan::kSearchedFieldCount) {
                    reader.skipField();
                    continue;
                }
                QStringView text = reader.readFieldView(scratch);
                if (!text.isEmpty() && text.data() == scratch.constData()) {
                    built[size_t(searched)] = scratch;
                    text = built[size_t(searched)];
                }
                fields[size_t(searched)] = text;
            }
        }
        category.builder.add(name, fields);
    } catch (const Failure &) {
        ++category.unreadable;
    }
}

void RecipeIndex::Private::readCategory(Category &category, bool cached) const
{
    // A file saved from now on gives the folder a later time, unless the folder's time lies within a step of
    // the file system's clock from now: then it is read again at the next refresh.
    category.readAt = nowNs();
    if (auto entry = cached ? indexcache::read(category.folderName(), category.modified) : std::nullopt) {
        category.readAt = entry->readAt;
        category.unreadable = entry->unreadable;
        category.index = std::make_shared<const WordIndex>(std::move(entry->index));
        return;
    }
    try {
        category.files = listFiles(category.folder, FileOrder::ByName);
    } catch (const Failure &) {
        // The folder went while the refresh ran: the category has no recipes.
    }
    for (const QString &name : std::as_const(category.files)) {
        if (stopping)
            return;
        readFile(category, name);
    }
    category.index = std::make_shared<const WordIndex>(category.builder.finish());
    category.files = QStringList();
    category.spelled.clear();
    indexcache::write(category.folderName(),
                      {category.modified, category.readAt, category.unreadable, *category.index});
}

void RecipeIndex::Private::readCategories()
{
    for (size_t at = nextToRead++; at < reading.size() && !stopping; at = nextToRead++) {
        try {
            readCategory(reading[at]);
        } catch (const std::exception &) {
            // Out of memory: the category is searched as having no recipes until the next refresh.
            reading[at].index = std::make_shared<const WordIndex>();
        }
        // Only the last wakes the window's thread, which waits for all: a wake-up for each category cost more
        // than reading it from its cache on a busy machine.
        const std::lock_guard lock(doneMutex);
        if (++done == reading.size())
            doneChanged.notify_all();
    }
}

void RecipeIndex::Private::startReading()
{
    const size_t threads = std::min(reading.size(), size_t(std::clamp(QThread::idealThreadCount(), 1, 4)));
    for (size_t i = 0; i < threads; ++i)
        readers.emplace_back([this] { readCategories(); });
}

void RecipeIndex::Private::stopReading()
{
    stopping = true;
    for (std::thread &reader : readers)
        reader.join();
    readers.clear();
    stopping = false;
    nextToRead = 0;
    done = 0;
}

void RecipeIndex::Private::commit()
{
    std::vector<Category> next;
    next.reserve(kept.size() + reading.size());
    for (auto &[at, name] : kept) {
        next.push_back(std::move(categories[at]));
        next.back().name = name;
    }
    for (Category &category : reading)
        next.push_back(std::move(category));
    std::stable_sort(next.begin(), next.end(), [](const Category &a, const Category &b) {
        return nameSortKey(a.name.toStdString()) < nameSortKey(b.name.toStdString());
    });
    categories = std::move(next);
    recount();
    kept.clear();
    reading.clear();
    refreshing = false;
}

// A category whose cache turned out damaged where a search first read it: the category is read from its files
// now, in its place, so that no search answers from a damaged block, and its cache is written again.
void RecipeIndex::Private::readAgain(size_t at)
{
    Category &damaged = categories[at];
    Category again;
    again.name = damaged.name;
    again.folder = damaged.folder;
    again.modified = damaged.modified;
    readCategory(again, false);
    damaged = std::move(again);
    recount();
}

// Where each category's recipes begin among all, anew; the masks, made for the places before, go.
void RecipeIndex::Private::recount()
{
    starts.assign(1, 0);
    for (const Category &category : categories)
        starts.push_back(starts.back() + category.index->size());
    masks.clear();
    maskOrder.clear();
}

const std::vector<quint8> *RecipeIndex::Private::masksOf(const QByteArray &needle, const QList<QByteArray> &inUse)
{
    auto found = masks.find(needle);
    if (found != masks.end())
        return &*found;
    // The oldest word's memory is used again: a block of fresh memory costs a page fault for each 4 kB.
    std::vector<quint8> made;
    if (maskOrder.size() >= kKeptWords) {
        const auto oldest = std::find_if(maskOrder.begin(), maskOrder.end(),
                                         [&inUse](const QByteArray &word) { return !inUse.contains(word); });
        if (oldest != maskOrder.end()) {
            made = masks.take(*oldest);
            maskOrder.erase(oldest);
        }
    }
    made.assign((size_t(starts.back()) + 63) / 64 * 64, 0); // whole words of 64 recipes, the last padded
    for (size_t c = 0; c < categories.size(); ++c) {
        if (!categories[c].index->find(needle, made.data() + starts[c])) {
            readAgain(c);
            return nullptr;
        }
    }
    maskOrder.append(needle);
    // Inserted empty and then swapped: QHash would copy the block.
    auto slot = masks.insert(needle, {});
    slot->swap(made);
    return &*slot;
}

RecipeIndex::RecipeIndex() : d(std::make_unique<Private>())
{
    d->starts.assign(1, 0);
}

RecipeIndex::~RecipeIndex() = default;

void RecipeIndex::beginRefresh()
{
    d->stopReading();
    d->kept.clear();
    d->reading.clear();
    d->refreshing = true;

    QStringList names;
    try {
        names = readCategoryFields();
    } catch (const Failure &) {
        // Without a category list there are no categories to search.
    }
    QSet<QString> folders;
    for (const QString &name : std::as_const(names)) {
        QString folder;
        try {
            folder = categoryFolderPath(name);
        } catch (const Failure &) {
            continue; // a name that cannot be a folder has none
        }
        const qint64 modified = folderModifiedTime(folder);
        if (modified < 0 || folders.contains(folder))
            continue;
        folders.insert(folder);
        const auto old = std::find_if(d->categories.begin(), d->categories.end(),
                                      [&folder](const Category &c) { return c.folder == folder; });
        if (old != d->categories.end() && old->modified == modified && !old->racy()) {
            d->kept.emplace_back(size_t(old - d->categories.begin()), name);
            continue;
        }
        Category category;
        category.name = name;
        category.folder = folder;
        category.modified = modified;
        d->reading.push_back(std::move(category));
    }
}

bool RecipeIndex::continueRefresh(int budgetMs)
{
    if (!d->refreshing)
        return true;
    if (d->readers.empty() && !d->reading.empty())
        d->startReading();
    {
        std::unique_lock lock(d->doneMutex);
        if (!d->doneChanged.wait_for(lock, std::chrono::milliseconds(std::max(budgetMs, 0)),
                                     [this] { return d->done == d->reading.size(); }))
            return false;
    }
    d->stopReading();
    d->commit();
    return true;
}

void RecipeIndex::refresh()
{
    beginRefresh();
    continueRefresh(std::numeric_limits<int>::max());
}

bool RecipeIndex::isRefreshing() const
{
    return d->refreshing;
}

int RecipeIndex::categoriesRead() const
{
    const std::lock_guard lock(d->doneMutex);
    return int(d->done);
}

int RecipeIndex::categoriesToRead() const
{
    return int(d->reading.size());
}

RecipeIndex::Found RecipeIndex::find(const QString &words, Fields fields) const
{
    auto data = std::make_shared<Found::Data>();
    data->needles = scan::needles(words);
    data->parts = int(fields);
    // Each word's masks first: a category read again on the way changes the categories and drops the masks.
    std::vector<const quint8 *> masks;
    for (qsizetype n = 0; fields && n < data->needles.size();) {
        if (const std::vector<quint8> *made = d->masksOf(data->needles.at(n), data->needles)) {
            masks.push_back(made->data());
            ++n;
        } else {
            masks.clear();
            n = 0;
        }
    }
    for (const Category &category : d->categories)
        data->categories.emplace_back(category.name, category.index);
    data->starts = d->starts;
    const auto total = size_t(d->starts.back());
    data->found.assign((total + 63) / 64, 0);
    if (data->needles.isEmpty()) {
        for (size_t i = 0; i < total; ++i)
            data->found[i / 64] |= quint64(1) << (i % 64);
    } else if (fields) {
        // Eight recipes at a time: their mask bytes, less the parts not looked in, each made one bit.
        const quint64 wanted = 0x0101010101010101ull * quint64(int(fields) & 7);
        for (size_t word = 0; word < data->found.size(); ++word) {
            quint64 bits = ~quint64(0);
            for (const quint8 *mask : masks) {
                quint64 found = 0;
                for (int group = 0; group < 8; ++group) {
                    quint64 eight;
                    std::memcpy(&eight, mask + word * 64 + size_t(group) * 8, sizeof eight);
                    eight &= wanted;
                    eight = (eight | eight >> 1 | eight >> 2) & 0x0101010101010101ull;
                    found |= ((eight * 0x0102040810204080ull) >> 56) << (8 * group);
                }
                bits &= found;
            }
            data->found[word] = bits;
        }
    }
    data->before.resize(data->found.size());
    quint32 count = 0;
    for (size_t word = 0; word < data->found.size(); ++word) {
        data->before[word] = count;
        count += quint32(std::popcount(data->found[word]));
    }
    Found found;
    found.d = std::move(data);
    return found;
}

QList<RecipeIndex::Hit> RecipeIndex::search(const QString &words, Fields fields) const
{
    const Found found = find(words, fields);
    QList<Hit> hits;
    hits.reserve(found.size());
    for (qsizetype i = 0; i < found.size(); ++i)
        hits.append(found.hit(i));
    return hits;
}

qsizetype RecipeIndex::recipeCount() const
{
    return d->starts.back();
}

int RecipeIndex::unreadableCount() const
{
    int count = 0;
    for (const Category &category : d->categories)
        count += category.unreadable;
    return count;
}

} // namespace store
