#include "screens/recipe.h"

#include "print/lineprinter.h"
#include "print/printjob.h"
#include "shell/appearance.h"
#include "shell/errorcodes.h"
#include "shell/errorpath.h"
#include "shell/hoverhints.h"
#include "shell/menubar.h"
#include "shell/mmain.h"
#include "shell/module1.h"
#include "shell/worker.h"
#include "store/appfolder.h"
#include "store/categorylist.h"
#include "store/fileops.h"
#include "store/io/failure.h"
#include "store/recipefile.h"
#include "ui_recipe.h"

#include <QCloseEvent>
#include <QDate>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWindow>

#include <algorithm>

namespace {

// The width of the recipe list's columns.
constexpr int kFileColumnTwips = 3160;
constexpr int kTwipsPerPixel = 15;

const QString kDashes = QString(121, QLatin1Char('-'));

// Shows `text` from its first character, as a caption or a recipe field is read.
void showText(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

// Each entry of the recipe list fills its whole cell of the column, so that no click between two names
// misses both.
class CellDelegate : public QStyledItemDelegate
{
public:
    CellDelegate(QSize cell, QObject *parent) : QStyledItemDelegate(parent), m_cell(cell) {}
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override { return m_cell; }

private:
    QSize m_cell;
};

QString today()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

} // namespace

frmRecipe::frmRecipe(QWidget *parent)
    : shell::Screen(parent), m_ui(std::make_unique<Ui::frmRecipe>()), m_hints(new shell::HoverHints(this)),
      m_printerSetup(&recipeprint::showPrinterSetup)
{
    m_ui->setupUi(this);

    m_amounts = {m_ui->txtRA1, m_ui->txtRA2, m_ui->txtRA3, m_ui->txtRA4, m_ui->txtRA5,
                 m_ui->txtRA6, m_ui->txtRA7, m_ui->txtRA8, m_ui->txtRA9, m_ui->txtRA10};
    m_types = {m_ui->txtRT1, m_ui->txtRT2, m_ui->txtRT3, m_ui->txtRT4, m_ui->txtRT5,
               m_ui->txtRT6, m_ui->txtRT7, m_ui->txtRT8, m_ui->txtRT9, m_ui->txtRT10};
    m_ingredients = {m_ui->txtRI1, m_ui->txtRI2, m_ui->txtRI3, m_ui->txtRI4, m_ui->txtRI5,
                     m_ui->txtRI6, m_ui->txtRI7, m_ui->txtRI8, m_ui->txtRI9, m_ui->txtRI10};

    // The recipe list: plain names flowing down in columns of a fixed width, one selected at a time.
    QListWidget *list = m_ui->lswRFile;
    list->setViewMode(QListView::ListMode);
    list->setFlow(QListView::TopToBottom);
    list->setWrapping(true);
    list->setResizeMode(QListView::Adjust);
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setTextElideMode(Qt::ElideRight);
    list->setGridSize(
        QSize((kFileColumnTwips + kTwipsPerPixel / 2) / kTwipsPerPixel, list->fontMetrics().height() + 3));
    list->setItemDelegate(new CellDelegate(list->gridSize(), list));
    // The scroll bar shows once the names run into a second column; a single column, a little wider than
    // the list itself, needs none. The columns are as high as the list, so it never scrolls up and down.
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(list->horizontalScrollBar(), &QScrollBar::rangeChanged, list, [list] {
        const QAbstractItemModel *names = list->model();
        const int count = names->rowCount();
        const bool oneColumn =
            count == 0 || list->visualRect(names->index(count - 1, 0)).x() == list->visualRect(names->index(0, 0)).x();
        list->setHorizontalScrollBarPolicy(oneColumn ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    });
    list->viewport()->installEventFilter(this);
    list->installEventFilter(this);

    setUpLooks();
    setUpHints();

    connect(m_ui->cboRCat, &QComboBox::activated, this, &frmRecipe::chooseCategory);
    connect(m_ui->chkRDel, &QCheckBox::toggled, this, &frmRecipe::deleteRecipe);
    connect(m_ui->cmdRNew, &QPushButton::clicked, this, &frmRecipe::newCard);
    connect(m_ui->cmdRPrint, &QPushButton::clicked, this, &frmRecipe::printCard);
    connect(m_ui->cmdRMain, &QPushButton::clicked, this, &frmRecipe::backToMain);
    connect(m_ui->SMXPR, &shell::MenuBar::itemClick, this, &frmRecipe::menuClick);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &frmRecipe::noteFocusWindow);
}

frmRecipe::~frmRecipe() = default;

void frmRecipe::setPrinterSetup(recipeprint::PrinterSetup setup)
{
    m_printerSetup = setup ? std::move(setup) : recipeprint::PrinterSetup(&recipeprint::showPrinterSetup);
}

void frmRecipe::setUpLooks()
{
    const QColor blue(0, 0, 255);
    const QColor red(255, 0, 0);
    for (QLineEdit *caption : {m_ui->Text1, m_ui->Text2, m_ui->Text3, m_ui->Text4, m_ui->Text5, m_ui->Text6})
        shell::setTextColor(caption, blue);
    for (QLineEdit *caption : {m_ui->txtRTemp1, m_ui->txtRHr, m_ui->txtRMin})
        shell::setTextColor(caption, red);

    // The cooking line below the card sits on the button face; the card itself on the window background.
    for (QLineEdit *box :
         {m_ui->txtRTemp, m_ui->txtRTemp1, m_ui->txtRHr, m_ui->txtRHr1, m_ui->txtRMin, m_ui->txtRMin1}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, shell::systemColor(shell::ButtonFace));
        box->setPalette(palette);
    }
    QPalette card = m_ui->txtRShow->palette();
    card.setColor(QPalette::Base, shell::systemColor(shell::WindowBackground));
    m_ui->txtRShow->setPalette(card);

    // Borderless boxes keep one pixel beside their text, so that the narrow caption boxes show it whole.
    for (QLineEdit *box : m_ui->clientArea->findChildren<QLineEdit *>())
        box->setTextMargins(-1, 0, -1, 0);

    for (QLabel *hint : {m_ui->lblRMsg, m_ui->lblRMsg1, m_ui->lblRMsg2})
        shell::HoverHints::showNormal(hint);
    shell::setTextColor(m_ui->lblRmsg3, blue);
}

void frmRecipe::setUpHints()
{
    m_hints->explain(m_ui->lblRMsg, {m_ui->lblRCat});
    m_hints->explain(m_ui->lblRMsg1, {m_ui->lswRFile});
    m_hints->explain(m_ui->lblRMsg2, {m_ui->chkRDel});
    m_hints->explain(m_ui->lblRmsg3, {m_ui->txtRDirec, m_ui->cmdRMain});
    m_hints->onHover(m_ui->fraRWhich, [this] {
        for (QLabel *hint : {m_ui->lblRMsg, m_ui->lblRMsg1, m_ui->lblRMsg2})
            shell::HoverHints::showNormal(hint);
    });
    m_hints->onHover(m_ui->clientArea, [this] { shell::HoverHints::showNormal(m_ui->lblRmsg3); });
    // A move over a control with a hint must not also reach the frame or the bare screen beneath it.
    for (QWidget *control : std::initializer_list<QWidget *>{m_ui->lblRCat, m_ui->lswRFile, m_ui->chkRDel,
                                                             m_ui->txtRDirec, m_ui->cmdRMain})
        control->setAttribute(Qt::WA_NoMousePropagation);
}

void frmRecipe::load()
{
    Module1::DropShadow(this);
    shell::BuildMenuBar(m_ui->SMXPR, shell::recipeMenu());
    m_ui->chkRDel->setEnabled(false);
    try {
        m_ui->cboRCat->clear();
        m_ui->cboRCat->addItems(store::readCategoryFields());
        // No category is chosen until the user picks one.
        m_ui->cboRCat->setCurrentIndex(-1);
    } catch (const store::Failure &failure) {
        if (failure.number() == store::Failure::FileNotFound) {
            mMain::CategoryPresenceCheck();
            return;
        }
        shell::raiseError(this, shell::codes::RecipeLoad, failure);
    }
}

bool frmRecipe::event(QEvent *event)
{
    // Activate: coming back to this screen, the user picks a recipe again before a delete.
    if (event->type() == QEvent::Show || (event->type() == QEvent::WindowActivate && m_otherWindowActive)) {
        m_ui->chkRDel->setEnabled(false);
        m_otherWindowActive = false;
    }
    return shell::Screen::event(event);
}

void frmRecipe::noteFocusWindow(const QWindow *window)
{
    if (!window || window == windowHandle())
        return;
    for (const shell::Screen *screen : shell::ScreenRegistry::loaded()) {
        if (screen != this && screen->windowHandle() == window)
            m_otherWindowActive = true;
    }
}

bool frmRecipe::eventFilter(QObject *watched, QEvent *event)
{
    QListWidget *list = m_ui->lswRFile;
    if (watched == list->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            // A click on blank space leaves the current entry unselected; the pick still reads it.
            if (!list->itemAt(mouse->position().toPoint()))
                list->clearSelection();
            pickRecipe();
        }
    } else if (watched == list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            // From the keyboard, Enter or Space on the current entry picks it as a click does.
            if (QListWidgetItem *entry = list->currentItem())
                entry->setSelected(true);
            pickRecipe();
            return true;
        }
    }
    return shell::Screen::eventFilter(watched, event);
}

void frmRecipe::closeEvent(QCloseEvent *event)
{
    event->ignore();
    shell::ScreenRegistry::hide(this);
}

void frmRecipe::chooseCategory()
{
    m_ui->chkRDel->setChecked(false);
    // A category whose folder has gone cannot be listed; that is reported as a failed open of the list.
    try {
        const QString folder = store::categoryFolderPath(m_ui->cboRCat->currentText());
        QStringList names;
        // A category of many thousands of recipes takes a while to list: the window keeps painting meanwhile.
        shell::runInWorker([&folder, &names] { Module1::ListFolderFiles(folder, names, store::FileOrder::ByName); });
        m_ui->lswRFile->clear();
        m_ui->lswRFile->addItems(names);
    } catch (const store::Failure &failure) {
        shell::raiseError(this, shell::codes::RecipeOpen, failure);
    }
}

bool frmRecipe::openRecipe(const QString &category, const QString &name)
{
    shell::ScreenRegistry::show<frmRecipe>();
    // The pick below belongs to this visit, so the activation that follows must not disable the delete box.
    m_otherWindowActive = false;
    QComboBox *categories = m_ui->cboRCat;
    int at = categories->findText(category);
    if (at < 0) {
        categories->addItem(category);
        at = categories->count() - 1;
    }
    categories->setCurrentIndex(at);
    chooseCategory();
    if (!isVisible())
        return true; // the error report took over
    const QList<QListWidgetItem *> found = m_ui->lswRFile->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty())
        return false;
    m_ui->lswRFile->setCurrentItem(found.first());
    found.first()->setSelected(true);
    m_ui->lswRFile->scrollToItem(found.first());
    pickRecipe();
    return true;
}

void frmRecipe::pickRecipe()
{
    try {
        QListWidgetItem *entry = m_ui->lswRFile->currentItem();
        if (!entry)
            return;
        if (entry->isSelected()) {
            m_ui->chkRDel->setEnabled(true);
            m_ui->chkRDel->setChecked(false);
        }
        // The whole file is read before the card changes, so a failed read leaves the card as it was.
        const QString name = entry->text();
        const store::RecipeRecord record = store::loadRecipe(m_ui->cboRCat->currentText(), name);

        showText(m_ui->txtRName, name);
        showText(m_ui->txtRSize, record.servingSize());
        showText(m_ui->txtRDate, today());
        for (int row = 1; row <= store::RecipeRecord::kRowCount; ++row)
            showText(m_amounts.at(row - 1), record.amount(row));
        for (int row = 1; row <= store::RecipeRecord::kRowCount; ++row)
            showText(m_types.at(row - 1), record.type(row));
        for (int row = 1; row <= store::RecipeRecord::kRowCount; ++row)
            showText(m_ingredients.at(row - 1), record.ingredient(row));
        m_ui->txtRDirec->setPlainText(record.directions());
        showText(m_ui->txtRTemp, record.temperature());
        showText(m_ui->txtRHr1, record.hours());
        showText(m_ui->txtRMin1, record.minutes());
    } catch (const store::Failure &failure) {
        shell::raiseError(this, shell::codes::RecipeOpen, failure);
    }
}

void frmRecipe::deleteRecipe()
{
    // Checking the box is the confirmation; unchecking it does nothing.
    if (!m_ui->chkRDel->isChecked())
        return;
    try {
        const QList<QListWidgetItem *> selected = m_ui->lswRFile->selectedItems();
        if (selected.isEmpty())
            throw store::Failure(store::Failure::ObjectNotSet);
        store::deleteFile(store::recipePath(m_ui->cboRCat->currentText(), selected.first()->text()));
        m_ui->chkRDel->setChecked(false);
        newCard();
    } catch (const store::Failure &failure) {
        shell::raiseError(this, shell::codes::RecipeDelete, failure);
    }
}

void frmRecipe::newCard()
{
    Module1::ClearScreen(Module1::ScreenRecipe);
    m_ui->chkRDel->setEnabled(false);
    m_ui->chkRDel->setChecked(false);
    restoreCaptions();
}

void frmRecipe::backToMain()
{
    shell::ScreenRegistry::hide(this);
    Module1::ClearScreen(Module1::ScreenRecipe);
    m_ui->chkRDel->setChecked(false);
    restoreCaptions();
    shell::ScreenRegistry::show(shell::kMainMenu);
}

void frmRecipe::restoreCaptions()
{
    // The captions after a clear differ from those the screen opens with ("Srv:", "H", "M").
    showText(m_ui->txtRSrv, QStringLiteral("Srv:"));
    showText(m_ui->txtRTemp1, QStringLiteral("F"));
    showText(m_ui->txtRSlash, kDashes);
    showText(m_ui->Text1, QStringLiteral("Amt"));
    showText(m_ui->Text2, QStringLiteral("Type"));
    showText(m_ui->Text3, QStringLiteral("Ingredients"));
    showText(m_ui->Text4, QStringLiteral("Amt"));
    showText(m_ui->Text5, QStringLiteral("Type"));
    showText(m_ui->Text6, QStringLiteral("Ingredients"));
    showText(m_ui->txtRHr, QStringLiteral("H"));
    showText(m_ui->txtRMin, QStringLiteral("M"));
}

void frmRecipe::printCard()
{
    std::unique_ptr<shell::LinePrinter> printer;
    try {
        printer = m_printerSetup(this, m_ui->txtRName->text());
    } catch (const shell::PrintFailure &) {
        return;
    }
    if (!printer)
        return; // Cancel prints nothing and says nothing.

    // The page shows the card as it is now, typing since the pick included.
    recipeprint::RecipeCard card;
    card.name = m_ui->txtRName->text();
    card.date = today();
    store::RecipeRecord &record = card.record;
    for (int row = 1; row <= store::RecipeRecord::kRowCount; ++row) {
        record.amount(row) = m_amounts.at(row - 1)->text();
        record.type(row) = m_types.at(row - 1)->text();
        record.ingredient(row) = m_ingredients.at(row - 1)->text();
    }
    record.directions() = m_ui->txtRDirec->toPlainText();
    record.temperature() = m_ui->txtRTemp->text();
    record.servingSize() = m_ui->txtRSize->text();
    record.hours() = m_ui->txtRHr1->text();
    record.minutes() = m_ui->txtRMin1->text();
    // A printer that fails, or a print the user cancels, ends the command without a word; what was printed
    // stays printed.
    if (!shell::runPrintJob(this, std::move(printer), recipeprint::printedSize(card),
                            [&card](shell::LinePrinter &page) { recipeprint::printRecipeCard(page, card); }))
        return;
    m_ui->chkRDel->setChecked(false);
}

void frmRecipe::menuClick(int id)
{
    const QString key = m_ui->SMXPR->keyOf(id);
    if (key == u"keyNew")
        newCard();
    else if (key == u"keyPrint")
        printCard();
    else if (key == u"keyMain")
        backToMain();
}
