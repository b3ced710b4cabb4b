#include "screens/plainpageoffer.h"

#include "screens/cook.h"
#include "shell/messages.h"
#include "shell/screen.h"
#include "store/interchange/mapping.h"
#include "store/interchange/webpage.h"

PlainPageOffer offerPlainPage(const PlainPage &offered)
{
    const QString &shownAs = offered.shownAs;
    const QStringList &others = offered.others;
    // The editor holds one draft; one the user has not saved yet is never replaced.
    if (shell::ScreenRegistry::load<frmCook>()->holdsDraft()) {
        shell::msgBox(QStringLiteral("There is no recipe data in %1. The recipe window still holds a recipe made "
                                     "from a page, not saved yet: save it or cancel it, then import the page again to "
                                     "open its text.")
                          .arg(others.isEmpty() ? shownAs : QStringLiteral("%1 pages").arg(others.size() + 1)),
                      shell::MbSystemModal | shell::MbExclamation, QStringLiteral("Import recipes"));
        return PlainPageOffer::Waiting;
    }
    const QString question =
        others.isEmpty()
            ? QStringLiteral("There is no recipe data in this page:\r%1\r\rOpen its text in the recipe window, to "
                             "make a recipe of it?")
                  .arg(shownAs)
            : QStringLiteral("There is no recipe data in these %1 pages:\r%2\r\rOpen the text of the first in the "
                             "recipe window, to make a recipe of it? The others stay in the list of files: import "
                             "them again to open the next.")
                  .arg(others.size() + 1)
                  .arg((QStringList{shownAs} + others.mid(0, 8)).join(u'\r') +
                       (others.size() > 8 ? QStringLiteral("\rand %1 more").arg(others.size() - 8) : QString()));
    const int answer = shell::msgBox(question, shell::MbSystemModal | shell::MbYesNo | shell::MbQuestion,
                                     QStringLiteral("Import recipes"));
    if (answer != shell::AnswerYes)
        return PlainPageOffer::Declined;
    store::interchange::PlainPage page = store::interchange::plainPage(offered.text);
    if (page.draft.source.isEmpty() && shownAs.contains(QLatin1String("://")))
        page.draft.source = shownAs;
    const QString &category = offered.category;
    if (category.isEmpty()) {
        shell::msgBox(QStringLiteral("Please create a category first: Prg setup on the main menu."),
                      shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
        return PlainPageOffer::Declined;
    }
    QString name = store::interchange::fileNameFor(page.title);
    if (name.isEmpty())
        name = QStringLiteral("New recipe");
    shell::ScreenRegistry::load<frmCook>()->editDraft(category, name, page.draft);
    return PlainPageOffer::Opened;
}
