#include "screens/cook.h"

#include "print/lineprinter.h"
#include "print/printjob.h"
#include "screens/cookedit.h"
#include "screens/cookpicture.h"
#include "shell/errorcodes.h"
#include "shell/errorpath.h"
#include "shell/messages.h"
#include "shell/windowparts.h"
#include "store/appfolder.h"
#include "store/categorylist.h"
#include "store/fileops.h"
#include "store/io/failure.h"
#include "store/io/workfolder.h"
#include "store/recipepicture.h"
#include "store/recipeview.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

constexpr double kSmallestType = 7;
constexpr double kLargestType = 40;

QListWidget *tickList(QWidget *parent, const char *objectName, const QString &accessibleName)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(QLatin1StringView(objectName));
    list->setAccessibleName(accessibleName);
    list->setWordWrap(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // A ticked row is crossed out, so that what is done stands apart at a glance.
    QObject::connect(list, &QListWidget::itemChanged, list, [](QListWidgetItem *item) {
        QFont font = item->font();
        font.setStrikeOut(item->checkState() == Qt::Checked);
        item->setFont(font);
    });
    return list;
}

void fillTicks(QListWidget *list, const QStringList &rows)
{
    const QSignalBlocker quiet(list);
    list->clear();
    for (const QString &row : rows) {
        auto *item = new QListWidgetItem(row, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

} // namespace

frmCook::frmCook(QWidget *parent)
    : shell::Screen(parent), m_printerSetup(&recipeprint::showPrinterSetup), m_pages(new QStackedWidget(this)),
      m_heading(new QLabel(this)), m_picture(new CookPicture(this)), m_facts(new QLabel(this)),
      m_servings(new QSpinBox(this)), m_units(new QComboBox(this)),
      m_ingredients(tickList(this, "lstKIngred", QStringLiteral("Ingredients"))),
      m_steps(tickList(this, "lstKSteps", QStringLiteral("Directions"))), m_note(new QLabel(this)),
      m_editor(new CookEditor(this))
{
    setWindowFlag(Qt::Window);
    setAcceptDrops(true);
    resize(900, 640);
    m_heading->setObjectName(QStringLiteral("lblKName"));
    m_heading->setWordWrap(true);
    m_facts->setObjectName(QStringLiteral("lblKFacts"));
    m_facts->setWordWrap(true);
    m_note->setObjectName(QStringLiteral("lblKNote"));
    m_note->setWordWrap(true);
    m_servings->setObjectName(QStringLiteral("txtKServ"));
    m_servings->setAccessibleName(QStringLiteral("Servings"));
    m_servings->setRange(0, 999);
    m_servings->setSpecialValueText(QStringLiteral("as written"));
    m_units->setObjectName(QStringLiteral("cboKUnits"));
    m_units->setAccessibleName(QStringLiteral("Units"));
    m_units->addItems({QStringLiteral("As written"), QStringLiteral("Metric"), QStringLiteral("US")});
    m_editor->setObjectName(QStringLiteral("fraKEdit"));

    QPushButton *larger = shell::namedButton(this, "cmdKLarger", QStringLiteral("Larger type"));
    QPushButton *smaller = shell::namedButton(this, "cmdKSmaller", QStringLiteral("Smaller type"));
    QPushButton *print = shell::namedButton(this, "cmdKPrint", QStringLiteral("Print"));
    QPushButton *edit = shell::namedButton(this, "cmdKEdit", QStringLiteral("Edit"));
    QPushButton *close = shell::namedButton(this, "cmdKClose", QStringLiteral("Close"));
    edit->setToolTip(QStringLiteral("Change the recipe (Ctrl+E)"));
    larger->setToolTip(QStringLiteral("Ctrl++"));
    smaller->setToolTip(QStringLiteral("Ctrl+-"));

    auto *servingsLabel = new QLabel(QStringLiteral("&Servings:"), this);
    servingsLabel->setBuddy(m_servings);
    auto *unitsLabel = new QLabel(QStringLiteral("&Units:"), this);
    unitsLabel->setBuddy(m_units);
    auto *bar = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{servingsLabel, m_servings, unitsLabel, m_units})
        bar->addWidget(w);
    bar->addStretch();
    for (QWidget *w : std::initializer_list<QWidget *>{smaller, larger, print, edit, close})
        bar->addWidget(w);

    auto *left = new QWidget(this);
    auto *leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    leftColumn->addWidget(m_picture);
    leftColumn->addWidget(m_facts);
    leftColumn->addWidget(m_ingredients, 1);
    auto *right = new QWidget(this);
    auto *rightColumn = new QVBoxLayout(right);
    rightColumn->setContentsMargins(0, 0, 0, 0);
    rightColumn->addWidget(m_steps, 1);
    rightColumn->addWidget(m_note);
    auto *split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(1, 1);

    auto *reading = new QWidget(this);
    auto *readingPage = new QVBoxLayout(reading);
    readingPage->addLayout(bar);
    readingPage->addWidget(split, 1);
    m_pages->addWidget(reading);
    m_pages->addWidget(m_editor);
    auto *page = new QVBoxLayout(this);
    page->addWidget(m_heading);
    page->addWidget(m_pages, 1);

    connect(m_servings, &QSpinBox::valueChanged, this, &frmCook::showIngredients);
    connect(m_units, &QComboBox::currentIndexChanged, this, &frmCook::showIngredients);
    connect(larger, &QPushButton::clicked, this, [this] { changeTypeSize(1); });
    connect(smaller, &QPushButton::clicked, this, [this] { changeTypeSize(-1); });
    for (const QKeySequence &keys : {QKeySequence(QKeySequence::ZoomIn), QKeySequence(QStringLiteral("Ctrl+="))})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { changeTypeSize(1); });
    connect(new QShortcut(QKeySequence::ZoomOut, this), &QShortcut::activated, this, [this] { changeTypeSize(-1); });
    connect(new QShortcut(QKeySequence(QStringLiteral("Ctrl+E")), reading), &QShortcut::activated, this,
            &frmCook::startEditing);
    connect(print, &QPushButton::clicked, this, &frmCook::printRecipe);
    connect(edit, &QPushButton::clicked, this, &frmCook::startEditing);
    connect(close, &QPushButton::clicked, this, [this] { shell::ScreenRegistry::hide(this); });
    connect(m_editor, &CookEditor::saveClicked, this, &frmCook::saveEdits);
    connect(m_editor, &CookEditor::cancelClicked, this, [this] {
        if (m_unsaved)
            shell::ScreenRegistry::hide(this);
        else
            m_pages->setCurrentIndex(0);
    });
}

frmCook::~frmCook() = default;

void frmCook::load()
{
    const QSettings kept = shell::windowSettings();
    if (const QSize size = kept.value(QStringLiteral("frmCook/size")).toSize(); size.isValid())
        resize(size);
    m_typeSize = std::clamp(kept.value(QStringLiteral("frmCook/typeSize"), font().pointSizeF() + 2).toDouble(),
                            kSmallestType, kLargestType);
    applyTypeSize();
}

void frmCook::hideEvent(QHideEvent *event)
{
    saveSettings();
    shell::Screen::hideEvent(event);
}

void frmCook::saveSettings() const
{
    QSettings kept = shell::windowSettings();
    kept.setValue(QStringLiteral("frmCook/size"), size());
    kept.setValue(QStringLiteral("frmCook/typeSize"), m_typeSize);
}

void frmCook::setPrinterSetup(recipeprint::PrinterSetup setup)
{
    m_printerSetup = setup ? std::move(setup) : recipeprint::PrinterSetup(&recipeprint::showPrinterSetup);
}

bool frmCook::openRecipe(const QString &category, const QString &name, int servings)
{
    try {
        m_record = store::loadRecipe(category, name);
    } catch (const store::Failure &) {
        return false;
    }
    m_category = category;
    m_name = name;
    m_unsaved = false;
    m_draft = store::draftOf(m_record);
    m_rows = store::readRows(m_draft);
    {
        const QSignalBlocker quiet(m_servings);
        const std::optional<double> size = store::parseAmount(m_draft.servingSize);
        m_servings->setValue(servings >= 0 ? servings : size ? int(*size) : 0);
    }
    m_pages->setCurrentIndex(0);
    shell::ScreenRegistry::show<frmCook>();
    showRecipe();
    return true;
}

void frmCook::editDraft(const QString &category, const QString &name, const store::RecipeDraft &draft)
{
    m_record = {};
    m_category = category;
    m_name = name;
    m_draft = draft;
    m_rows = store::readRows(m_draft);
    m_unsaved = true;
    shell::ScreenRegistry::show<frmCook>();
    showRecipe();
    startEditing();
}

bool frmCook::editRecipe(const QString &category, const QString &name)
{
    if (!openRecipe(category, name))
        return false;
    startEditing();
    return true;
}

store::Units frmCook::units() const
{
    return static_cast<store::Units>(m_units->currentIndex());
}

void frmCook::showRecipe()
{
    setWindowTitle(m_name);
    m_heading->setText(m_name);
    const store::RecipeView view = store::viewOf(m_draft, m_rows, m_servings->value(), units());
    fillTicks(m_ingredients, view.ingredients);
    QStringList steps;
    for (qsizetype i = 0; i < view.steps.size(); ++i)
        steps.append(QStringLiteral("%1. %2").arg(i + 1).arg(view.steps.at(i)));
    fillTicks(m_steps, steps);
    showFacts(view);
    QStringList end;
    if (!view.note.isEmpty())
        end.append(store::kNoteLabel.toString() + u' ' + view.note);
    if (!view.source.isEmpty())
        end.append(store::kSourceLabel.toString() + u' ' + view.source);
    m_note->setText(end.join(u'\n'));
    m_note->setVisible(!end.isEmpty());
    m_picture->showFor(m_category, m_name);
}

void frmCook::showFacts(const store::RecipeView &view)
{
    QStringList facts{view.servings};
    if (!view.time.isEmpty())
        facts.append(QStringLiteral("Time: ") + view.time);
    if (!view.oven.isEmpty())
        facts.append(QStringLiteral("Oven: ") + view.oven);
    facts.removeAll(QString());
    m_facts->setText(facts.join(u'\n'));
}

void frmCook::showIngredients()
{
    const QStringList shown =
        store::shownIngredients(m_rows, store::servingsFactor(m_servings->value(), m_draft.servingSize), units());
    // The ticks stay: the rows are the same rows, only their amounts change.
    const QSignalBlocker quiet(m_ingredients);
    for (int row = 0; row < m_ingredients->count() && row < shown.size(); ++row)
        m_ingredients->item(row)->setText(shown.at(row));
    showFacts(store::viewOf(m_draft, {}, m_servings->value(), units()));
}

void frmCook::changeTypeSize(int step)
{
    m_typeSize = std::clamp(m_typeSize + step, kSmallestType, kLargestType);
    applyTypeSize();
    saveSettings();
}

void frmCook::applyTypeSize()
{
    QFont type = font();
    type.setPointSizeF(m_typeSize);
    for (QWidget *w : std::initializer_list<QWidget *>{m_ingredients, m_steps, m_facts, m_note})
        w->setFont(type);
    type.setPointSizeF(m_typeSize * 1.5);
    type.setBold(true);
    m_heading->setFont(type);
}

void frmCook::printRecipe()
{
    std::unique_ptr<shell::LinePrinter> printer = m_printerSetup(this, m_name);
    if (!printer)
        return;
    const QString text = store::printedText(store::viewOf(m_draft, m_rows, m_servings->value(), units()));
    // A printer that fails, or a print the user cancels, ends the command without a word, as on the
    // recipe display.
    shell::runPrintJob(this, std::move(printer), m_name.size() + text.size(),
                       [name = m_name, text](shell::LinePrinter &page) {
                           page.setFontName(QStringLiteral("Tahoma"));
                           page.setFontSize(14);
                           page.setBold(true);
                           page.print(name);
                           page.endLine();
                           page.setFontSize(11);
                           page.setBold(false);
                           page.endLine();
                           shell::printWrappedText(page, text);
                           page.endDocument();
                       });
}

void frmCook::startEditing()
{
    try {
        m_editor->fill(m_name, m_category, store::readCategoryFields(), m_draft);
    } catch (const store::Failure &) {
        m_editor->fill(m_name, m_category, {m_category}, m_draft);
    }
    m_pages->setCurrentIndex(1);
    m_editor->setFocus();
}

void frmCook::saveEdits()
{
    const QString name = m_editor->name();
    const QString category = m_editor->category();
    if (name.isEmpty() || !store::isValidName(name) || name.size() > 40) {
        shell::msgBox(
            QStringLiteral("Please type a name for the recipe:\rat most 40 characters, none of \\ / : * ? \" < > |."),
            shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
        return;
    }
    try {
        if (m_unsaved && store::fileExists(store::categoryFolderPath(category) + u'/' + name)) {
            shell::msgBox(QStringLiteral("%1 already has a recipe named \"%2\":\rplease choose another name.")
                              .arg(category, name),
                          shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
            return;
        }
        const store::RecipeRecord record = store::recordOf(m_editor->draft(), m_record);
        store::saveRecipe(category, name, record);
        // A recipe saved under another name or category takes its picture with it.
        const QString picture = m_unsaved ? QString() : store::picturePath(m_category, m_name);
        if (!picture.isEmpty() && (name != m_name || category != m_category))
            store::setPicture(category, name, picture);
        m_category = category;
        m_name = name;
        m_unsaved = false;
        m_record = record;
        m_draft = store::draftOf(record);
        m_rows = store::readRows(m_draft);
        m_pages->setCurrentIndex(0);
        showRecipe();
    } catch (const store::Failure &failure) {
        shell::raiseError(this, shell::codes::CookSave, failure);
    }
}

void frmCook::takePicture(const QString &path)
{
    m_picture->take(path);
}

void frmCook::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (m_pages->currentIndex() == 0 && urls.size() == 1 && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void frmCook::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    takePicture(urls.first().toLocalFile());
}
