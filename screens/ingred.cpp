#include "screens/ingred.h"

#include "shell/appearance.h"
#include "shell/digitfilter.h"
#include "shell/errorcodes.h"
#include "shell/errorpath.h"
#include "shell/hoverhints.h"
#include "shell/menubar.h"
#include "shell/messages.h"
#include "shell/mmain.h"
#include "shell/module1.h"
#include "store/categorylist.h"
#include "store/io/failure.h"
#include "store/recipefile.h"
#include "ui_ingred.h"

#include <QTextDocument>

namespace {

// The most characters of a text box without a limit of its own.
constexpr int kNoLimit = 32767;

// The directions as typed. toPlainText() would also turn non-breaking spaces into plain blanks.
QString directionsText(const QPlainTextEdit *box)
{
    QString text = box->document()->toRawText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    }
    return text;
}

} // namespace

frmIngred::frmIngred(QWidget *parent) : shell::Screen(parent), m_ui(std::make_unique<Ui::frmIngred>())
{
    m_ui->setupUi(this);
    Ui::frmIngred &ui = *m_ui;
    m_amounts = {ui.txtIA1, ui.txtIA2, ui.txtIA3, ui.txtIA4, ui.txtIA5,
                 ui.txtIA6, ui.txtIA7, ui.txtIA8, ui.txtIA9, ui.txtIA10};
    m_types = {ui.txtIT1, ui.txtIT2, ui.txtIT3, ui.txtIT4, ui.txtIT5,
               ui.txtIT6, ui.txtIT7, ui.txtIT8, ui.txtIT9, ui.txtIT10};
    m_ingredients = {ui.txtIN1, ui.txtIN2, ui.txtIN3, ui.txtIN4, ui.txtIN5,
                     ui.txtIN6, ui.txtIN7, ui.txtIN8, ui.txtIN9, ui.txtIN10};

    // The hint panel takes the desktop's tooltip colour, known only at run time.
    QPalette panel = ui.shaIMenu->palette();
    panel.setColor(QPalette::Window, shell::systemColor(shell::TooltipBackground));
    ui.shaIMenu->setPalette(panel);
    ui.shaIMenu->setAutoFillBackground(true);
    // The two rectangles are drawings, not controls: the mouse over them is over the bare screen.
    ui.shaIMenu->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui.shpITitle->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto *digits = new DigitFilter(this);
    for (QLineEdit *box : m_amounts)
        box->setValidator(digits);
    for (QLineEdit *box : {ui.txtICTemp, ui.txtICSize, ui.txtICHr, ui.txtICMin})
        box->setValidator(digits);

    auto *hints = new shell::HoverHints(this);
    // The mouse over the bare screen puts every hint back to its colour at rest.
    hints->restOver(this, {ui.lblIMsg1, ui.lblIMsg2, ui.lblIMsg3});
    hints->explain(ui.lblIMsg1, {ui.lblICat, ui.lblIRec, ui.txtIName});
    hints->explain(ui.lblIMsg2, {ui.fraIn});
    hints->explain(ui.lblIMsg3, {ui.lblIDir, ui.txtIDirec});

    for (QLineEdit *box : findChildren<QLineEdit *>()) {
        if (box->maxLength() != kNoLimit)
            m_limits.append({box, box->maxLength()});
    }

    connect(ui.SMXPI, &shell::MenuBar::itemClick, this, &frmIngred::menuItemClick);
    connect(ui.cmdINew, &QPushButton::clicked, this, &frmIngred::newRecipe);
    connect(ui.cmdISave, &QPushButton::clicked, this, &frmIngred::saveRecipe);
    connect(ui.cmdIMain, &QPushButton::clicked, this, &frmIngred::showMainMenu);
}

frmIngred::~frmIngred() = default;

void frmIngred::load()
{
    Module1::DropShadow(this);
    shell::BuildMenuBar(m_ui->SMXPI, shell::ingredMenu());
    try {
        m_ui->cboIng->clear();
        m_ui->cboIng->addItems(store::readCategoryFields());
        // The list shows no choice until the user picks a category.
        m_ui->cboIng->setCurrentIndex(-1);
    } catch (const store::Failure &failure) {
        if (failure.number() == store::Failure::FileNotFound)
            mMain::CategoryPresenceCheck();
        else
            shell::raiseError(this, shell::codes::IngredLoad, failure);
    }
}

void frmIngred::menuItemClick(int id)
{
    const QString key = m_ui->SMXPI->keyOf(id);
    if (key == u"keyNew")
        newRecipe();
    else if (key == u"keySave")
        saveRecipe();
    else if (key == u"keyMain")
        showMainMenu();
}

void frmIngred::newRecipe()
{
    Module1::ClearScreen(Module1::ScreenIngred);
    for (const auto &[box, limit] : std::as_const(m_limits))
        box->setMaxLength(limit);
}

void frmIngred::editRecipe(const QString &category, const QString &name)
{
    const store::RecipeRecord recipe = store::loadRecipe(category, name);
    shell::ScreenRegistry::show<frmIngred>();
    int at = m_ui->cboIng->findText(category);
    if (at < 0) {
        m_ui->cboIng->addItem(category);
        at = m_ui->cboIng->count() - 1;
    }
    m_ui->cboIng->setCurrentIndex(at);
    const auto fill = [](QLineEdit *box, const QString &text) {
        box->setMaxLength(std::max(box->maxLength(), int(text.size())));
        box->setText(text);
        box->setCursorPosition(0);
    };
    fill(m_ui->txtIName, name);
    for (int row = 1; row <= store::RecipeRecord::kRowCount; ++row) {
        fill(m_amounts.at(row - 1), recipe.amount(row));
        fill(m_types.at(row - 1), recipe.type(row));
        fill(m_ingredients.at(row - 1), recipe.ingredient(row));
    }
    m_ui->txtIDirec->setPlainText(recipe.directions());
    fill(m_ui->txtICTemp, recipe.temperature());
    fill(m_ui->txtICSize, recipe.servingSize());
    fill(m_ui->txtICHr, recipe.hours());
    fill(m_ui->txtICMin, recipe.minutes());
    m_ui->txtIName->setFocus();
}

void frmIngred::saveRecipe()
{
    try {
        const QString category = m_ui->cboIng->currentText();
        // Without a category the file would land in the Category folder itself, beside the category list.
        if (category.isEmpty()) {
            shell::msgBox(QStringLiteral("Please choose a category for the recipe\rbefore you save it."),
                          shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
            return;
        }
        store::saveRecipe(category, m_ui->txtIName->text(), record());
    } catch (const store::Failure &failure) {
        shell::raiseError(this, shell::codes::IngredSave, failure);
    }
}

void frmIngred::showMainMenu()
{
    shell::ScreenRegistry::hide(this);
    shell::ScreenRegistry::show(shell::kMainMenu);
}

store::RecipeRecord frmIngred::record() const
{
    store::RecipeRecord recipe;
    for (int row = 1; row <= store::RecipeRecord::kRowCount; ++row) {
        recipe.amount(row) = m_amounts.at(row - 1)->text();
        recipe.type(row) = m_types.at(row - 1)->text();
        recipe.ingredient(row) = m_ingredients.at(row - 1)->text();
    }
    recipe.directions() = directionsText(m_ui->txtIDirec);
    recipe.temperature() = m_ui->txtICTemp->text();
    recipe.servingSize() = m_ui->txtICSize->text();
    recipe.hours() = m_ui->txtICHr->text();
    recipe.minutes() = m_ui->txtICMin->text();
    return recipe;
}
