#pragma once

#include "store/aisles.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

/// What the household keeps, in the folder "Kitchen" of the application folder: its staples and its own
/// aisle for an ingredient.
namespace store {

inline const QString kKitchenFolder = QStringLiteral("Kitchen");
inline const QString kStaplesFile = QStringLiteral("staples.txt");
inline const QString kAislesFile = QStringLiteral("aisles.txt");

/// Kitchen/staples.txt
QString staplesPath();
/// Kitchen/aisles.txt
QString aislesPath();

/// The staples a household has before it lists its own: salt, pepper, water and the like.
QStringList builtInStaples();

/// The household's staples (Kitchen/staples.txt, one per line) and its own aisle for an ingredient
/// (Kitchen/aisles.txt, records of two quoted fields: ingredient key, aisle name). Both files are UTF-8
/// with Windows line ends, saved synced and atomic through the one writer (store/io/textfile.h); the
/// folder "Kitchen" is made by the first save. A value: load() reads the files once.
class Kitchen
{
public:
    /// Reads both files. A missing file (or folder) gives the built-in staples and no choices; a record of
    /// aisles.txt whose aisle is no aisle's name is kept for the next save but not used.
    /// 75 when a file cannot be read, 62 when aisles.txt ends inside a record.
    static Kitchen load();
    /// The built-in staples and no choices: what load() gives without the files.
    static Kitchen builtIn();

    /// Whether `ingredientKey` (store/shoppinglist.h, ingredientKey()) is the key of one of the staples.
    bool isStaple(QStringView ingredientKey) const;
    /// The household's aisle for `ingredientKey`, else the built-in table's, else Aisle::Other.
    Aisle aisleOf(QStringView ingredientKey) const;
    /// The staples as listed.
    QStringList staples() const;

    /// Saves `staples` as Kitchen/staples.txt (empty lines and repeats left out) and uses them. Throws
    /// store::Failure as TextWriter and createFolder() do (store/fileops.h); the file and this kitchen
    /// stay as they were then.
    void setStaples(const QStringList &staples);
    /// Saves the household's aisle for `ingredientKey` in Kitchen/aisles.txt, in place of an earlier one,
    /// and uses it. The file is read again under the write lock, so that another copy's choices stay.
    /// Throws store::Failure as setStaples().
    void setAisle(const QString &ingredientKey, Aisle aisle);

private:
    void useStaples(const QStringList &staples);

    QStringList m_staples;
    QSet<QString> m_stapleKeys;
    QList<std::pair<QString, QString>> m_records; ///< aisles.txt as read: key and aisle name, in file order
    QHash<QString, Aisle> m_aisles;               ///< the records whose aisle is one
};

} // namespace store
