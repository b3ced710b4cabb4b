#include "screens/setup.h"

#include "shell/errorcodes.h"
#include "shell/errorpath.h"
#include "shell/hoverhints.h"
#include "shell/messages.h"
#include "shell/module1.h"
#include "store/appfolder.h"
#include "store/categorylist.h"
#include "store/fileops.h"
#include "store/io/failure.h"
#include "ui_setup.h"

#include <QCoreApplication>

#include <algorithm>
#include <initializer_list>

namespace {

// The category list sorts as a reader expects: letter case aside first, then by case.
bool sortsBefore(const QString &left, const QString &right)
{
    const int order = left.compare(right, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : left < right;
}

} // namespace

frmSetup::frmSetup(QWidget *parent)
    : shell::Screen(parent), m_ui(std::make_unique<Ui::frmSetup>()), m_hints(new shell::HoverHints(this))
{
    m_ui->setupUi(this);
    m_nameLength = m_ui->txtSDel->maxLength();
    // A long list is laid out a hundred names at a time while the window is already on the screen.
    m_ui->lswSetup->setLayoutMode(QListView::Batched);

    // The pictures and the shape only decorate: the mouse over them is over the bare frame.
    for (QWidget *decoration : std::initializer_list<QWidget *>{m_ui->Picture1, m_ui->Picture2, m_ui->Shape1})
        decoration->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_hints->restOver(m_ui->fraSCategory, {m_ui->lblSMsg1, m_ui->lblSMsg2});
    m_hints->explain(m_ui->lblSMsg1, {m_ui->txtSCreate, m_ui->cmdSCreate});
    m_hints->explain(m_ui->lblSMsg2, {m_ui->txtSDel, m_ui->cmdSDel});

    connect(m_ui->cmdSCreate, &QPushButton::clicked, this, &frmSetup::createCategory);
    connect(m_ui->cmdSDel, &QPushButton::clicked, this, &frmSetup::deleteCategory);
    connect(m_ui->cmdSCCancel, &QPushButton::clicked, this, &frmSetup::cancelCreate);
    connect(m_ui->cmdSDelCancel, &QPushButton::clicked, this, &frmSetup::cancelDelete);
    connect(m_ui->lswSetup, &QListWidget::itemClicked, this, &frmSetup::pickCategory);
    // Enter on an item picks it as a click does, for the keyboard.
    connect(m_ui->lswSetup, &QListWidget::itemActivated, this, &frmSetup::pickCategory);
    connect(m_ui->cmdSMain, &QPushButton::clicked, this, &frmSetup::goToMain);
}

frmSetup::~frmSetup() = default;

void frmSetup::load()
{
    Module1::DropShadow(this);
    try {
        setMode(Mode::Create);
        m_ui->txtSCreate->setFocus();
        showCategories(store::readCategoryLines());
    } catch (const store::Failure &failure) {
        // Without a category list the screen starts empty; the first category created makes the list.
        if (failure.number() == store::Failure::FileNotFound)
            return;
        shell::raiseError(this, shell::codes::SetupLoad, failure);
    }
}

void frmSetup::createCategory()
{
    try {
        const QString name = m_ui->txtSCreate->text();
        if (name.isEmpty()) {
            m_ui->txtSCreate->setFocus();
            return;
        }
        // The path resolves letter case, so Soups finds a folder soups.
        const QString folder = store::categoryFolderPath(name);
        if (store::folderExists(folder)) {
            m_ui->txtSCreate->clear();
            m_ui->txtSCreate->setFocus();
            shell::msgBox(QStringLiteral("This category already exists! You MUST\r"
                                         "delete it first and then re-enter the category."),
                          shell::MbSystemModal | shell::MbInformation, QStringLiteral("User error"));
            return;
        }
        // Its line first, then its folder; a line left without its folder gets the folder, not a second line.
        const store::MadeCategory made = store::makeCategory(name);
        m_ui->txtSCreate->clear();
        m_ui->txtSCreate->setFocus();
        if (made.listed)
            addCreated(name);
    } catch (const store::Failure &failure) {
        shell::raiseError(this, shell::codes::SetupCreate, failure);
    }
}

void frmSetup::deleteCategory()
{
    try {
        const QString name = m_ui->txtSDel->text();
        setCursor(Qt::WaitCursor);
        // Lets the pointer change show; clicks wait, so a second Delete cannot start inside this one.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        // The list is replaced in one step through a file beside it, which is removed on any failure, so
        // the list is never absent and no temporary file is left behind.
        const qsizetype removed = store::removeCategoryLines(name);
        shell::msgBox(QString::number(removed) + QStringLiteral(" category is deleted."));
        unsetCursor();
        // An empty or otherwise invalid name fails here (52) and never reaches the Category folder itself.
        Module1::FileSystemDelete(store::categoryFolderPath(name), Module1::DeleteFolder);
        showCategories(store::readCategoryLines());
    } catch (const store::Failure &failure) {
        unsetCursor();
        shell::raiseError(this, shell::codes::SetupDelete, failure);
    }
}

void frmSetup::cancelCreate()
{
    setMode(Mode::Delete);
    m_ui->txtSCreate->clear();
}

void frmSetup::cancelDelete()
{
    setMode(Mode::Create);
    m_ui->txtSDel->clear();
    m_ui->txtSDel->setMaxLength(m_nameLength);
}

void frmSetup::pickCategory(QListWidgetItem *item)
{
    setMode(Mode::Delete);
    // A line made by hand may be longer than a typed name; the box takes it whole, or Delete would miss it.
    const QString name = item->text();
    m_ui->txtSDel->setMaxLength(std::max<int>(m_nameLength, name.size()));
    m_ui->txtSDel->setText(name);
}

void frmSetup::goToMain()
{
    shell::ScreenRegistry::hide(this);
    shell::ScreenRegistry::show(shell::kMainMenu);
}

void frmSetup::setMode(Mode mode)
{
    const bool creating = mode == Mode::Create;
    for (QWidget *control :
         std::initializer_list<QWidget *>{m_ui->lblSCreate, m_ui->txtSCreate, m_ui->cmdSCreate, m_ui->cmdSCCancel})
        control->setEnabled(creating);
    for (QWidget *control :
         std::initializer_list<QWidget *>{m_ui->lblSDel, m_ui->txtSDel, m_ui->cmdSDel, m_ui->cmdSDelCancel})
        control->setEnabled(!creating);
}

void frmSetup::showCategories(const QStringList &names)
{
    m_ui->lswSetup->clear();
    m_ui->lswSetup->addItems(names);
    m_sorted = false;
}

void frmSetup::addCreated(const QString &name)
{
    QListWidget *list = m_ui->lswSetup;
    if (!m_sorted) {
        // The list shows the file's order until the first Create sorts it; the picked entry stays picked.
        QStringList names;
        names.reserve(list->count() + 1);
        QStringList selected;
        for (int row = 0; row < list->count(); ++row) {
            names.append(list->item(row)->text());
            if (list->item(row)->isSelected())
                selected.append(names.last());
        }
        const QListWidgetItem *current = list->currentItem();
        const QString currentName = current ? current->text() : QString();
        std::stable_sort(names.begin(), names.end(), sortsBefore);
        list->clear();
        list->addItems(names);
        m_sorted = true;
        for (int row = 0; row < list->count(); ++row) {
            QListWidgetItem *item = list->item(row);
            if (current && item->text() == currentName && !list->currentItem())
                list->setCurrentItem(item, QItemSelectionModel::NoUpdate);
            if (selected.removeOne(item->text()))
                item->setSelected(true);
        }
    }
    // Later ones go where they belong, after the names that sort the same.
    const auto rowOf = [list](int row) { return list->item(row)->text(); };
    int low = 0;
    for (int high = list->count(); low < high;) {
        const int middle = (low + high) / 2;
        if (sortsBefore(name, rowOf(middle)))
            high = middle;
        else
            low = middle + 1;
    }
    list->insertItem(low, name);
}
