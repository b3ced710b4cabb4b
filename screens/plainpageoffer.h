#pragma once

#include <QString>
#include <QStringList>

/// A page without recipe data, offered to the recipe window's editor.
struct PlainPage
{
    QString shownAs;    ///< the file or web address the user knows the page by
    QString text;       ///< the page's text
    QStringList others; ///< further pages of the same import without recipe data, waiting their turn
    QString category;   ///< the category the recipe made of it is for; empty when there is none
};

/// What became of the offer.
enum class PlainPageOffer { Opened, Declined, Waiting };

/// Asks the user whether to open the page's text in the recipe window's editor, split into a title,
/// ingredient lines and directions to check and save, naming the `others` that wait. Waiting, with nothing
/// opened, when the editor holds a draft not saved yet; Declined when the user says no or there is no
/// category to save it in.
PlainPageOffer offerPlainPage(const PlainPage &offered);
