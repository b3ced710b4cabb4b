#pragma once

#include "store/wordindex.h"

#include <QString>

#include <optional>

/// The word index of each category (store/wordindex.h) kept between runs, one file per category in the
/// program's work folder (store/appfolder.h): `.larderon/index-<hash of the folder's name>`.
///
/// A cache, never the truth: a file is taken only when it is of this program's format version, whole (its
/// checksum and its layout hold), of the same folder, and written for the folder's time as it is now, at least
/// kRacyNs after that time; anything else is read again from the recipe files. What every search reads is
/// checked when the file is taken; the postings and the characters' planes, of which a search reads only a
/// few, are checked a block of 64 kB at a time when a search first reads the block (WordIndex::LateCheck), so
/// that a start reads about a third of the file. A block that fails its check makes the search read that
/// category again from its files (store/recipeindex.h), and its cache is written again. A file is written
/// through the store's writer (store/textfile.h), so a program killed while writing it leaves the old file or
/// none.
namespace store::indexcache {

/// File times move in steps of up to 2 s (FAT and exFAT; ext3 and HFS+ 1 s): a folder changed within this
/// time of its reading may change again without a new time, and is read again.
constexpr qint64 kRacyNs = 2'000'000'000;

/// What is kept of one category.
struct Entry
{
    qint64 modified = -1; ///< the folder's time when it was read, in ns since the epoch
    qint64 readAt = -1;   ///< when its files were listed, in ns since the epoch
    int unreadable = 0;   ///< recipe files that could not be read
    WordIndex index;
};

/// The path of the cache of the category folder named `folderName`.
QString pathFor(const QString &folderName);

/// The cache of `folderName` when it may be trusted for a folder whose time is now `modified`.
std::optional<Entry> read(const QString &folderName, qint64 modified);

/// Keeps `entry` for `folderName`; false when it could not be written (it is a cache: nothing is lost). An
/// entry read within kRacyNs of its folder's time is not kept, and any older file of that folder goes.
bool write(const QString &folderName, const Entry &entry);

/// Removes the caches of folders other than `folderNames`.
void removeOthers(const QStringList &folderNames);

} // namespace store::indexcache
