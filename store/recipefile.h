#pragma once

#include "store/io/textfile.h"

#include <QString>
#include <QStringList>

#include <array>

class QIODevice;

namespace store {

/// The 35 text fields of one recipe, in file order. The recipe's name is its file name and its
/// category the folder the file lies in; neither is a field.
struct RecipeRecord
{
    static constexpr int kFieldCount = 35;
    static constexpr int kRowCount = 10;

    std::array<QString, kFieldCount> fields;

    // Rows are numbered 1 to 10.
    QString &amount(int row) { return fields.at(row - 1); }
    QString &type(int row) { return fields.at(kRowCount + row - 1); }
    QString &ingredient(int row) { return fields.at(2 * kRowCount + row - 1); }
    QString &directions() { return fields[30]; }
    QString &temperature() { return fields[31]; }
    QString &servingSize() { return fields[32]; }
    QString &hours() { return fields[33]; }
    QString &minutes() { return fields[34]; }
    const QString &amount(int row) const { return fields.at(row - 1); }
    const QString &type(int row) const { return fields.at(kRowCount + row - 1); }
    const QString &ingredient(int row) const { return fields.at(2 * kRowCount + row - 1); }
    const QString &directions() const { return fields[30]; }
    const QString &temperature() const { return fields[31]; }
    const QString &servingSize() const { return fields[32]; }
    const QString &hours() const { return fields[33]; }
    const QString &minutes() const { return fields[34]; }

    QStringList toList() const { return QStringList(fields.begin(), fields.end()); }
    friend bool operator==(const RecipeRecord &, const RecipeRecord &) = default;
};

/// Writes `record` as one line of 35 quoted fields.
void writeRecipe(TextWriter &writer, const RecipeRecord &record);

/// Reads records until the end; each record replaces the one before, so the last one is returned.
/// An empty file gives a record of empty fields. 62 when a record ends before its 35th field.
RecipeRecord readRecipe(TextReader &reader);

/// Writes the recipe file Category/<category>/<name>, replacing any recipe of that name; synced, it is on
/// the disk when this returns.
/// 52 for an empty or invalid category or an invalid name, 75 for an empty name (the path then names the
/// category folder), 76 when the category folder is missing, others as for TextWriter.
void saveRecipe(const QString &category, const QString &name, const RecipeRecord &record);

/// Reads the recipe file Category/<category>/<name>. Failures as for TextReader::open and readRecipe().
RecipeRecord loadRecipe(const QString &category, const QString &name);

} // namespace store
