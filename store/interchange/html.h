#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

/// The text of the HTML that web pages and MasterCook files hold.
namespace store::interchange {

/// The character that the named HTML character reference `name` stands for ("frac12" is "½"), for the
/// names recipes use; nothing for another name.
std::optional<QString> namedCharacter(QStringView name);

/// Replaces the character references of HTML ("&amp;", "&#189;", "&frac12;") by their characters.
QString decodeCharacterReferences(const QString &text);

/// The text of a piece of HTML: a line break for each <br> and the end of each paragraph, list item or
/// heading, other tags taken out, character references replaced.
QString htmlToText(const QString &html);

/// Lines with their trailing blanks removed, the empty lines at the start and end dropped, and the
/// indentation that all other lines share taken off.
QString tidyLines(QStringList lines);

} // namespace store::interchange
