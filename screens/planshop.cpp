#include "screens/planshop.h"

#include "print/lineprinter.h"
#include "print/printjob.h"
#include "screens/planweek.h"
#include "screens/shop.h"
#include "shell/errorcodes.h"
#include "shell/errorpath.h"
#include "shell/messages.h"
#include "shell/screen.h"
#include "shell/windowparts.h"
#include "store/io/failure.h"
#include "store/recipefile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kKeyRole = Qt::UserRole;       ///< a line's ingredient key
constexpr int kAisleRole = Qt::UserRole + 1; ///< a line's aisle (its index in store::kAisles), -1 for a staple
const QString kCheckYouHave = QStringLiteral("Check you have");

std::optional<QString> askForStaples(QWidget *parent, const QString &staples)
{
    bool ok = false;
    const QString text = QInputDialog::getMultiLineText(
        parent, QStringLiteral("Staples"),
        QStringLiteral("What the household always has, one a line.\nThese are not on the list but under "
                       "\"Check you have\"."),
        staples, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

PlanShop::StaplesEditor &staplesEditor()
{
    static PlanShop::StaplesEditor editor = &askForStaples;
    return editor;
}

int aisleIndex(store::Aisle aisle)
{
    return int(std::find(std::begin(store::kAisles), std::end(store::kAisles), aisle) - std::begin(store::kAisles));
}

} // namespace

PlanShop::PlanShop(QWidget *parent)
    : QWidget(parent), m_printerSetup(&recipeprint::showPrinterSetup), m_heading(new QLabel(this)),
      m_list(new QTreeWidget(this)), m_aisle(new QComboBox(this))
{
    m_heading->setObjectName(QStringLiteral("lblPSHeading"));
    m_heading->setWordWrap(true);
    m_heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_list->setObjectName(QStringLiteral("lstPSList"));
    m_list->setAccessibleName(QStringLiteral("Shopping list"));
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->installEventFilter(this);
    m_aisle->setObjectName(QStringLiteral("cboPSAisle"));
    m_aisle->setAccessibleName(QStringLiteral("Aisle"));
    m_aisle->setToolTip(QStringLiteral("Moves the chosen line to another aisle, there from now on"));
    for (const store::Aisle aisle : store::kAisles)
        m_aisle->addItem(store::aisleName(aisle));

    auto *days = new QHBoxLayout;
    days->addWidget(new QLabel(QStringLiteral("Shop for:"), this));
    for (int day = 0; day < 7; ++day) {
        auto *box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("chkPSDay%1").arg(day + 1));
        connect(box, &QCheckBox::toggled, this, &PlanShop::makeList);
        days->addWidget(box);
        m_days.append(box);
    }
    days->addStretch();
    QPushButton *print = shell::namedButton(this, "cmdPSPrint", QStringLiteral("Print"));
    QPushButton *send = shell::namedButton(this, "cmdPSSend", QStringLiteral("To shopping list"));
    QPushButton *back = shell::namedButton(this, "cmdPSBack", QStringLiteral("Back to the plan"));
    QPushButton *staples = shell::namedButton(this, "cmdPSStaples", QStringLiteral("Staples..."));
    staples->setToolTip(QStringLiteral("What the household always has: left off the list, under \"Check you have\""));
    auto *aisleLabel = new QLabel(QStringLiteral("&Aisle:"), this);
    aisleLabel->setBuddy(m_aisle);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(aisleLabel);
    buttons->addWidget(m_aisle);
    buttons->addWidget(staples);
    buttons->addStretch();
    for (QPushButton *each : {print, send, back})
        buttons->addWidget(each);
    auto *page = new QVBoxLayout(this);
    page->addLayout(days);
    page->addWidget(m_heading);
    page->addWidget(m_list, 1);
    page->addLayout(buttons);

    connect(m_list, &QTreeWidget::currentItemChanged, this, &PlanShop::showAisle);
    connect(m_list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item) {
        const bool ticked = item->checkState(0) == Qt::Checked;
        ticked ? void(m_bought.insert(item->text(0))) : void(m_bought.remove(item->text(0)));
        QFont font = item->font(0);
        font.setStrikeOut(ticked);
        const QSignalBlocker quiet(m_list);
        item->setFont(0, font);
    });
    connect(m_aisle, &QComboBox::activated, this, &PlanShop::moveToAisle);
    connect(print, &QPushButton::clicked, this, &PlanShop::printList);
    connect(send, &QPushButton::clicked, this, &PlanShop::toShoppingList);
    connect(back, &QPushButton::clicked, this, &PlanShop::backClicked);
    connect(staples, &QPushButton::clicked, this, &PlanShop::editStaples);
}

void PlanShop::setStaplesEditor(StaplesEditor editor)
{
    staplesEditor() = editor ? std::move(editor) : StaplesEditor(&askForStaples);
}

void PlanShop::editStaples()
{
    const std::optional<QString> text = staplesEditor()(this, m_kitchen.staples().join(u'\n'));
    if (!text)
        return;
    try {
        m_kitchen.setStaples(text->split(u'\n'));
    } catch (const store::Failure &failure) {
        shell::raiseError(qobject_cast<shell::Screen *>(window()), shell::codes::PlanSave, failure);
        return;
    }
    makeList();
}

void PlanShop::setPrinterSetup(recipeprint::PrinterSetup setup)
{
    m_printerSetup = setup ? std::move(setup) : recipeprint::PrinterSetup(&recipeprint::showPrinterSetup);
}

void PlanShop::start(const PlanWeek *week, QDate today)
{
    m_week = week;
    m_bought.clear();
    try {
        m_kitchen = store::Kitchen::load();
    } catch (const store::Failure &failure) {
        m_kitchen = store::Kitchen::builtIn();
        shell::msgBox(QStringLiteral("The kitchen's staples or aisles (the folder Kitchen) could not be read "
                                     "(%1).\rThe list uses the aisles Larderon knows.")
                          .arg(failure.description()),
                      shell::MbSystemModal | shell::MbExclamation);
    }
    const QDate first = week->firstDay();
    const qint64 from = first.daysTo(today);
    const bool thisWeek = from >= 0 && from < 7;
    for (int day = 0; day < 7; ++day) {
        const QSignalBlocker quiet(m_days.at(day));
        m_days.at(day)->setText(QLocale().toString(first.addDays(day), QStringLiteral("ddd d MMM")));
        m_days.at(day)->setChecked(!thisWeek || day >= from);
    }
    makeList();
    m_list->setFocus();
}

QList<QDate> PlanShop::chosenDays() const
{
    QList<QDate> days;
    for (int day = 0; day < 7; ++day) {
        if (m_days.at(day)->isChecked())
            days.append(m_week->firstDay().addDays(day));
    }
    return days;
}

void PlanShop::makeList()
{
    QList<store::RecipeToShop> recipes;
    m_recipes.clear();
    for (const QDate day : chosenDays()) {
        for (const store::PlannedMeal &meal : m_week->mealsOn(day)) {
            if (!meal.isRecipe())
                continue;
            try {
                store::RecipeRecord record = store::loadRecipe(meal.category, meal.recipe);
                const double factor = store::servingsFactor(meal.servings, record.servingSize());
                recipes.append({std::move(record), factor});
                m_recipes << (meal.servings.isEmpty() ? meal.recipe
                                                      : QStringLiteral("%1 (%2)").arg(meal.recipe, meal.servings));
            } catch (const store::Failure &) {
                m_recipes << QStringLiteral("%1 (missing, not on the list)").arg(meal.recipe);
            }
        }
    }
    m_merged = store::mergeShoppingList(recipes, m_kitchen);
    m_heading->setText(heading());
    showList();
}

QString PlanShop::heading() const
{
    QStringList days;
    for (const QCheckBox *day : m_days) {
        if (day->isChecked())
            days << day->text();
    }
    if (days.isEmpty())
        return QStringLiteral("Choose the days to shop for.");
    return QStringLiteral("Shopping for %1: %2")
        .arg(days.join(QStringLiteral(", ")),
             m_recipes.isEmpty() ? QStringLiteral("no recipes planned") : m_recipes.join(QStringLiteral(", ")));
}

void PlanShop::showList()
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    QFont bold = m_list->font();
    bold.setBold(true);
    const auto group = [this, &bold](const QString &name, const QList<store::ShoppingItem> &items, int aisle) {
        if (items.isEmpty())
            return;
        auto *heading = new QTreeWidgetItem(m_list, {name});
        heading->setFlags(Qt::ItemIsEnabled);
        heading->setFont(0, bold);
        for (const store::ShoppingItem &item : items) {
            auto *line = new QTreeWidgetItem(heading, {item.line});
            line->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            line->setData(0, kKeyRole, item.ingredient);
            line->setData(0, kAisleRole, aisle);
            const bool ticked = m_bought.contains(item.line);
            line->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
            QFont font = m_list->font();
            font.setStrikeOut(ticked);
            line->setFont(0, font);
        }
    };
    for (const store::Aisle aisle : store::kAisles) {
        QList<store::ShoppingItem> items;
        for (const store::ShoppingItem &item : std::as_const(m_merged.items)) {
            if (item.aisle == aisle)
                items.append(item);
        }
        group(store::aisleName(aisle), items, aisleIndex(aisle));
    }
    group(kCheckYouHave, m_merged.checkYouHave, -1);
    m_list->expandAll();
    showAisle();
}

void PlanShop::showAisle()
{
    const QTreeWidgetItem *line = m_list->currentItem();
    const int aisle = line && line->parent() ? line->data(0, kAisleRole).toInt() : -1;
    m_aisle->setEnabled(aisle >= 0);
    if (aisle >= 0)
        m_aisle->setCurrentIndex(aisle);
}

void PlanShop::moveToAisle(int choice)
{
    const QTreeWidgetItem *line = m_list->currentItem();
    if (!line || !line->parent() || line->data(0, kAisleRole).toInt() < 0 || choice == line->data(0, kAisleRole))
        return;
    const QString key = line->data(0, kKeyRole).toString();
    const QString text = line->text(0);
    const store::Aisle aisle = store::kAisles[choice];
    try {
        m_kitchen.setAisle(key, aisle);
    } catch (const store::Failure &failure) {
        shell::raiseError(qobject_cast<shell::Screen *>(window()), shell::codes::PlanSave, failure);
        return;
    }
    for (store::ShoppingItem &item : m_merged.items) {
        if (item.ingredient == key)
            item.aisle = aisle;
    }
    // The list stays grouped by aisle, as the merging made it.
    std::stable_sort(m_merged.items.begin(), m_merged.items.end(),
                     [](const store::ShoppingItem &a, const store::ShoppingItem &b) {
                         return aisleIndex(a.aisle) < aisleIndex(b.aisle);
                     });
    showList();
    for (QTreeWidgetItemIterator it(m_list); *it; ++it) {
        if ((*it)->parent() && (*it)->text(0) == text)
            m_list->setCurrentItem(*it);
    }
}

QStringList PlanShop::lines() const
{
    store::MergedShoppingList wanted;
    for (const store::ShoppingItem &item : m_merged.items) {
        if (!m_bought.contains(item.line))
            wanted.items.append(item);
    }
    for (const store::ShoppingItem &item : m_merged.checkYouHave) {
        if (!m_bought.contains(item.line))
            wanted.checkYouHave.append(item);
    }
    return QStringList{heading(), QString()} + store::shoppingListText(wanted);
}

void PlanShop::printList()
{
    std::unique_ptr<shell::LinePrinter> printer = m_printerSetup(this, QStringLiteral("Shopping list"));
    if (!printer)
        return;
    const QStringList text = lines();
    const QStringList headings = [this] {
        QStringList names;
        for (int group = 0; group < m_list->topLevelItemCount(); ++group)
            names << m_list->topLevelItem(group)->text(0) + u':';
        return names;
    }();
    shell::runPrintJob(this, std::move(printer), text.join(u'\n').size(),
                       [text, headings](shell::LinePrinter &page) {
                           // The heading and the lines in the type of the page, each aisle's name in bold.
                           page.setFontName(QStringLiteral("Tahoma"));
                           page.setFontSize(14);
                           page.setBold(true);
                           page.print(QStringLiteral("Shopping list"));
                           page.endLine();
                           page.setFontSize(11);
                           page.setBold(false);
                           shell::printWrappedText(page, text.first());
                           for (const QString &line : text.mid(1)) {
                               const bool heading = headings.contains(line);
                               page.setBold(heading);
                               if (line.isEmpty())
                                   page.endLine();
                               else
                                   shell::printWrappedText(page, heading ? line.chopped(1)
                                                                         : QStringLiteral("\u25a1 ") + line);
                           }
                           page.endDocument();
                       });
}

void PlanShop::toShoppingList()
{
    // A list open in the shopping list screen is added to only when the user says so, as from the find window.
    frmShop *shop = shell::ScreenRegistry::load<frmShop>();
    frmShop::Into into = frmShop::Into::NewList;
    if (!shop->listText().trimmed().isEmpty() &&
        shell::msgBox(QStringLiteral("The shopping list screen has a list open.\rAdd this list to it?\r\r"
                                     "No starts a new list."),
                      shell::MbYesNo | shell::MbQuestion, QStringLiteral("Add to shopping list")) == shell::AnswerYes)
        into = frmShop::Into::End;
    shop->addLines(lines(), into);
}

bool PlanShop::eventFilter(QObject *watched, QEvent *event)
{
    // Space ticks the chosen line, as in a list of check boxes.
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space && m_list->currentItem() &&
        m_list->currentItem()->parent()) {
        QTreeWidgetItem *line = m_list->currentItem();
        line->setCheckState(0, line->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
