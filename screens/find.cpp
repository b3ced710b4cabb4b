#include "screens/find.h"

#include "screens/cook.h"
#include "screens/shop.h"
#include "shell/appearance.h"
#include "shell/digitfilter.h"
#include "shell/hoverhints.h"
#include "shell/messages.h"
#include "shell/module1.h"
#include "store/io/failure.h"
#include "store/mealplan.h"
#include "store/recipefile.h"
#include "store/shoppinglist.h"
#include "ui_find.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QTimer>

#include <tuple>

namespace {

constexpr int kRecipeColumnWidth = 250;
constexpr int kFoundInColumnWidth = 180;

} // namespace

/// The results of a search, one row per recipe, with a check box that marks the recipes for a shopping
/// list. The check marks outlast a search, so that recipes found by different words can be put together.
/// Rows are made as the view asks for them: the first screenful at once, more as the list is scrolled, and
/// what a recipe was found in (which reads its file) only for the rows drawn.
class FoundRecipes : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;
    using Recipe = QPair<QString, QString>; ///< category and name

    void setFound(store::RecipeIndex::Found found)
    {
        beginResetModel();
        m_found = std::move(found);
        m_rows = std::min<qsizetype>(m_found.size(), kRowsAtOnce);
        m_matched.clear();
        endResetModel();
    }
    qsizetype foundCount() const { return m_found.size(); }
    /// The dates the recipes were last cooked, by store::recipeKey(), as the meal plan marks them.
    void setLastCooked(QHash<QString, QDate> cooked)
    {
        m_cooked = std::move(cooked);
        if (m_rows > 0)
            emit dataChanged(index(0, 2), index(rowCount() - 1, 2), {Qt::DisplayRole});
    }
    Recipe recipe(int row) const { return {m_found.category(row), m_found.name(row)}; }
    /// The checked recipes, in the order they were checked.
    const QList<Recipe> &checked() const { return m_checked; }
    void clearChecks()
    {
        m_checked.clear();
        if (m_rows > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_rows); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }
    bool canFetchMore(const QModelIndex &parent) const override
    {
        return !parent.isValid() && m_rows < m_found.size();
    }
    void fetchMore(const QModelIndex &parent) override
    {
        if (!canFetchMore(parent))
            return;
        const qsizetype more = std::min<qsizetype>(m_found.size() - m_rows, kRowsAtOnce);
        beginInsertRows({}, int(m_rows), int(m_rows + more - 1));
        m_rows += more;
        endInsertRows();
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (index.column() == 0 && role == Qt::DisplayRole)
            return QStringLiteral("%1 \u2014 %2").arg(m_found.category(index.row()), m_found.name(index.row()));
        if (index.column() == 0 && role == Qt::CheckStateRole)
            return m_checked.contains(recipe(index.row())) ? Qt::Checked : Qt::Unchecked;
        if (index.column() == 1 && (role == Qt::DisplayRole || role == Qt::ToolTipRole)) {
            auto matched = m_matched.constFind(index.row());
            if (matched == m_matched.constEnd())
                matched = m_matched.insert(index.row(), m_found.hit(index.row()).matched);
            return *matched;
        }
        if (index.column() == 2 && role == Qt::DisplayRole) {
            const QDate cooked = m_cooked.value(store::recipeKey(m_found.category(index.row()), m_found.name(index.row())));
            return cooked.isValid() ? QLocale().toString(cooked, QLocale::ShortFormat) : QString();
        }
        return {};
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (index.column() != 0 || role != Qt::CheckStateRole)
            return false;
        const Recipe found = recipe(index.row());
        m_checked.removeAll(found);
        if (value.value<Qt::CheckState>() == Qt::Checked)
            m_checked.append(found);
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        return index.column() == 0 ? flags | Qt::ItemIsUserCheckable : flags;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return section == 0 ? QStringLiteral("Recipe") : section == 1 ? QStringLiteral("Found in") : QStringLiteral("Last cooked");
    }

private:
    // Rows made at a time: more than a screenful, few enough to make at once.
    static constexpr qsizetype kRowsAtOnce = 200;

    store::RecipeIndex::Found m_found;
    qsizetype m_rows = 0;
    mutable QHash<int, QString> m_matched; ///< what the rows drawn so far were found in
    QList<Recipe> m_checked;
    QHash<QString, QDate> m_cooked;
};

frmFind::frmFind(QWidget *parent)
    : shell::Screen(parent), m_ui(std::make_unique<Ui::frmFind>()), m_found(new FoundRecipes(this)),
      m_refresh(
          m_index, [this] { showProgress(); },
          [this] {
              m_ui->pbFRead->hide();
              showResults();
          })
{
    m_ui->setupUi(this);

    // The hint panel takes the desktop's tooltip colour, known only at run time; it is a drawing, and the
    // mouse over it is over the bare screen.
    QPalette panel = m_ui->shaFMenu->palette();
    panel.setColor(QPalette::Window, shell::systemColor(shell::TooltipBackground));
    m_ui->shaFMenu->setPalette(panel);
    m_ui->shaFMenu->setAutoFillBackground(true);
    m_ui->shaFMenu->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_ui->lswFFound->setModel(m_found);
    m_ui->lswFFound->header()->resizeSection(0, kRecipeColumnWidth);
    m_ui->lswFFound->header()->resizeSection(1, kFoundInColumnWidth);
    m_ui->lswFFound->installEventFilter(this);
    m_ui->txtFWhat->installEventFilter(this);
    m_ui->txtFServ->setValidator(new DigitFilter(this));
    setUpHints();

    connect(m_ui->txtFWhat, &QLineEdit::textChanged, this, &frmFind::search);
    for (QCheckBox *where : {m_ui->chkFName, m_ui->chkFIngred, m_ui->chkFDirec})
        connect(where, &QCheckBox::toggled, this, &frmFind::search);
    connect(m_ui->lswFFound, &QAbstractItemView::doubleClicked, this, &frmFind::openResult);
    connect(m_ui->cmdFEdit, &QPushButton::clicked, this, &frmFind::editResult);
    connect(m_ui->cmdFShop, &QPushButton::clicked, this, &frmFind::addToShoppingList);
    connect(m_ui->cmdFMain, &QPushButton::clicked, this, &frmFind::backToMain);
}

frmFind::~frmFind() = default;

void frmFind::setUpHints()
{
    auto *hints = new shell::HoverHints(this);
    hints->restOver(this, {m_ui->lblFMsg1, m_ui->lblFMsg2, m_ui->lblFMsg3});
    hints->explain(m_ui->lblFMsg1, {m_ui->lblFWhat, m_ui->txtFWhat, m_ui->lblFWhere, m_ui->chkFName, m_ui->chkFIngred,
                                    m_ui->chkFDirec});
    hints->explain(m_ui->lblFMsg2, {m_ui->lblFFound, m_ui->lswFFound, m_ui->cmdFEdit});
    hints->explain(m_ui->lblFMsg3, {m_ui->lblFServ, m_ui->txtFServ, m_ui->cmdFShop});
}

void frmFind::load()
{
    Module1::DropShadow(this);
}

bool frmFind::event(QEvent *event)
{
    // Each time the screen shows, the recipes may have changed on the other screens. The search waits
    // for the next turn of the event loop, so that the window is drawn first.
    // The meal plan is read then too, for the dates the recipes were last cooked.
    if (event->type() == QEvent::Show) {
        m_found->setLastCooked(store::lastCooked());
        QTimer::singleShot(0, this, &frmFind::search);
    }
    return shell::Screen::event(event);
}

bool frmFind::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (watched == m_ui->txtFWhat && key->key() == Qt::Key_Down) {
            m_ui->lswFFound->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (watched == m_ui->lswFFound && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            openResult();
            return true;
        }
        if (watched == m_ui->lswFFound && key->key() == Qt::Key_E && key->modifiers() == Qt::ControlModifier) {
            editResult();
            return true;
        }
    }
    return shell::Screen::eventFilter(watched, event);
}

void frmFind::search()
{
    // While the recipes are read, what the boxes hold when the reading is done is searched for then.
    m_refresh.start();
}

void frmFind::showProgress()
{
    m_ui->pbFRead->setMaximum(std::max(1, m_index.categoriesToRead()));
    m_ui->pbFRead->setValue(m_index.categoriesRead());
    m_ui->pbFRead->show();
}

void frmFind::showResults()
{
    store::RecipeIndex::Fields fields;
    fields.setFlag(store::RecipeIndex::Names, m_ui->chkFName->isChecked());
    fields.setFlag(store::RecipeIndex::Ingredients, m_ui->chkFIngred->isChecked());
    fields.setFlag(store::RecipeIndex::Directions, m_ui->chkFDirec->isChecked());
    m_found->setFound(m_index.find(m_ui->txtFWhat->text(), fields));
    if (m_found->rowCount() > 0)
        m_ui->lswFFound->setCurrentIndex(m_found->index(0, 0));
    m_ui->lblFFound->setText(QStringLiteral("Recipes found: %L1").arg(m_found->foundCount()));

    const int unreadable = m_index.unreadableCount();
    if (unreadable == 0)
        m_ui->lblFUnread->clear();
    else if (unreadable == 1)
        m_ui->lblFUnread->setText(QStringLiteral("1 recipe could not be read"));
    else
        m_ui->lblFUnread->setText(QStringLiteral("%1 recipes could not be read").arg(unreadable));
}

bool frmFind::currentResult(QString *category, QString *name) const
{
    const QModelIndex current = m_ui->lswFFound->currentIndex();
    if (!current.isValid())
        return false;
    std::tie(*category, *name) = m_found->recipe(current.row());
    return true;
}

void frmFind::recipeGone(const QString &category, const QString &name)
{
    shell::msgBox(QStringLiteral("The recipe %1 in %2\rcould not be read.").arg(name, category),
                  shell::MbSystemModal | shell::MbExclamation);
    search();
}

void frmFind::openResult()
{
    QString category;
    QString name;
    if (!currentResult(&category, &name))
        return;
    if (!shell::ScreenRegistry::load<frmCook>()->openRecipe(category, name))
        recipeGone(category, name);
}

void frmFind::editResult()
{
    QString category;
    QString name;
    if (!currentResult(&category, &name)) {
        shell::msgBox(QStringLiteral("Please choose a recipe in the list\rbefore you edit it."),
                      shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
        return;
    }
    if (!shell::ScreenRegistry::load<frmCook>()->editRecipe(category, name))
        recipeGone(category, name);
}

void frmFind::addToShoppingList()
{
    const QList<FoundRecipes::Recipe> chosen = m_found->checked();
    if (chosen.isEmpty()) {
        shell::msgBox(QStringLiteral("Please check the recipes for the shopping list\rbefore you add them."),
                      shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
        return;
    }
    QList<store::RecipeToShop> recipes;
    QStringList unreadable;
    for (const auto &[category, name] : chosen) {
        try {
            store::RecipeRecord record = store::loadRecipe(category, name);
            const double factor = store::servingsFactor(m_ui->txtFServ->text(), record.servingSize());
            recipes.append({std::move(record), factor});
        } catch (const store::Failure &) {
            unreadable.append(name);
        }
    }
    if (!unreadable.isEmpty()) {
        shell::msgBox(QStringLiteral("These recipes could not be read\rand are not on the list: %1.")
                          .arg(unreadable.join(QStringLiteral(", "))),
                      shell::MbSystemModal | shell::MbExclamation);
    }
    if (recipes.isEmpty())
        return;
    store::Kitchen kitchen = store::Kitchen::builtIn();
    try {
        kitchen = store::Kitchen::load();
    } catch (const store::Failure &) {
        shell::msgBox(QStringLiteral("The staples and aisles in the Kitchen folder could not be read.\rThe list "
                                     "uses the program's own."),
                      shell::MbSystemModal | shell::MbExclamation);
    }

    // A list in the box is never added to unasked. The list this window made and nobody changed since is
    // made again with the new recipes, so that their lines merge with its lines.
    frmShop *shop = shell::ScreenRegistry::load<frmShop>();
    frmShop::Into into = frmShop::Into::NewList;
    const QString open = shop->listText();
    if (!open.trimmed().isEmpty()) {
        const int answer = shell::msgBox(
            QStringLiteral("The shopping list screen has a list open.\rAdd these recipes to it?\r\r"
                           "No starts a new list."),
            shell::MbYesNo | shell::MbQuestion, QStringLiteral("Add to shopping list"));
        if (answer == shell::AnswerYes && open == m_shoppedText)
            recipes = m_shopped + recipes;
        else if (answer == shell::AnswerYes)
            into = frmShop::Into::End;
    }
    if (into == frmShop::Into::NewList)
        m_shopped = recipes;
    else
        m_shopped.clear();
    const QStringList lines = store::shoppingListText(store::mergeShoppingList(recipes, kitchen));
    shop->addLines(lines, into);
    m_shoppedText = into == frmShop::Into::NewList ? shop->listText() : QString();
    m_found->clearChecks();
}

void frmFind::backToMain()
{
    shell::ScreenRegistry::hide(this);
    shell::ScreenRegistry::show(shell::kMainMenu);
}
