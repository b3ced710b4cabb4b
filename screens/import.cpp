#include "screens/import.h"

#include "net/webimport.h"

#include "shell/appearance.h"
#include "shell/errorcodes.h"
#include "shell/errorpath.h"
#include "shell/hoverhints.h"
#include "shell/messages.h"
#include "shell/module1.h"
#include "store/categorylist.h"
#include "store/interchange/recipeimport.h"
#include "store/interchange/webpage.h"
#include "store/io/failure.h"
#include "store/io/textcodec.h"
#include "store/io/textfile.h"
#include "ui_import.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMimeData>
#include <QTimer>

namespace {

// How long one slice of an import may keep the window busy.
constexpr int kSliceMilliseconds = 40;

QStringList showFileDialog(QWidget *parent, const frmImport::FileQuestion &question)
{
    if (!question.save)
        return QFileDialog::getOpenFileNames(parent, question.caption, QDir::homePath(), question.filter);
    const QString file =
        QFileDialog::getSaveFileName(parent, question.caption, QDir::home().filePath(question.name), question.filter);
    return file.isEmpty() ? QStringList() : QStringList{file};
}

frmImport::FileDialog &fileDialog()
{
    static frmImport::FileDialog dialog = showFileDialog;
    return dialog;
}

QString askForAddress(QWidget *parent)
{
    return QInputDialog::getText(parent, QStringLiteral("Import from a web address"),
                                 QStringLiteral("The address of the recipe's page:"))
        .trimmed();
}

frmImport::AddressDialog &addressDialog()
{
    static frmImport::AddressDialog dialog = askForAddress;
    return dialog;
}

// The first web address (not a file) among what is dropped; empty when there is none.
QString webAddress(const QMimeData *data)
{
    for (const QUrl &url : data->urls()) {
        if (url.scheme() == u"http" || url.scheme() == u"https")
            return url.toString();
    }
    return {};
}

QStringList localFiles(const QMimeData *data)
{
    QStringList files;
    for (const QUrl &url : data->urls()) {
        // A folder may be a Nextcloud Cookbook's, a recipe.json in each of its folders.
        if (url.isLocalFile() && QFileInfo::exists(url.toLocalFile()))
            files.append(url.toLocalFile());
    }
    return files;
}

void showProblem(const QString &what, const store::Failure &failure)
{
    shell::msgBox(QStringLiteral("%1\r%2 (%3)").arg(what, failure.description()).arg(failure.number()),
                  shell::MbSystemModal | shell::MbExclamation, QStringLiteral("Import recipes"));
}

} // namespace

frmImport::frmImport(QWidget *parent)
    : shell::Screen(parent), m_ui(std::make_unique<Ui::frmImport>()), m_slices(new QTimer(this))
{
    m_ui->setupUi(this);
    setAcceptDrops(true);
    setUpHints();

    connect(m_slices, &QTimer::timeout, this, &frmImport::importSlice);
    connect(m_ui->cmdMAdd, &QPushButton::clicked, this, &frmImport::addFiles);
    connect(m_ui->cmdMRemove, &QPushButton::clicked, this, &frmImport::removeFiles);
    connect(m_ui->cmdMWeb, &QPushButton::clicked, this, &frmImport::askAddress);
    connect(m_ui->cmdMImport, &QPushButton::clicked, this, &frmImport::startImport);
    connect(m_ui->cmdMCancel, &QPushButton::clicked, this, &frmImport::cancelImport);
    connect(m_ui->cmdMSave, &QPushButton::clicked, this, &frmImport::saveReport);
    connect(m_ui->cmdMExpMM, &QPushButton::clicked, this, [this] { exportCategory(store::ExportFormat::MealMaster); });
    connect(m_ui->cmdMExpJson, &QPushButton::clicked, this, [this] { exportCategory(store::ExportFormat::JsonLd); });
    connect(m_ui->cmdMMain, &QPushButton::clicked, this, &frmImport::showMainMenu);
}

frmImport::~frmImport() = default;

void frmImport::setFileDialog(FileDialog dialog)
{
    fileDialog() = dialog ? std::move(dialog) : showFileDialog;
}

void frmImport::setAddressDialog(AddressDialog dialog)
{
    addressDialog() = dialog ? std::move(dialog) : askForAddress;
}

QString frmImport::ownCategoryText()
{
    return QStringLiteral("Each recipe's own category");
}

void frmImport::setUpHints()
{
    // The hint panel takes the desktop's tooltip colour, known only at run time.
    QPalette panel = m_ui->shaMMenu->palette();
    panel.setColor(QPalette::Window, shell::systemColor(shell::TooltipBackground));
    m_ui->shaMMenu->setPalette(panel);
    m_ui->shaMMenu->setAutoFillBackground(true);
    m_ui->shaMMenu->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto *hints = new shell::HoverHints(this);
    hints->restOver(this, {m_ui->lblMMsg1, m_ui->lblMMsg2, m_ui->lblMMsg3});
    hints->explain(m_ui->lblMMsg1, {m_ui->lblMFiles, m_ui->lswMFiles, m_ui->cmdMAdd, m_ui->cmdMRemove, m_ui->cmdMWeb});
    hints->explain(m_ui->lblMMsg2, {m_ui->lblMCat, m_ui->cboMCat, m_ui->cmdMImport, m_ui->cmdMCancel});
    hints->explain(m_ui->lblMMsg3, {m_ui->fraMExport, m_ui->cboMExpCat, m_ui->cmdMExpMM, m_ui->cmdMExpJson});
}

void frmImport::load()
{
    Module1::DropShadow(this);
    try {
        showCategories();
    } catch (const store::Failure &failure) {
        shell::raiseError(this, shell::codes::ImportLoad, failure);
    }
}

void frmImport::showCategories()
{
    QStringList categories;
    try {
        categories = store::readCategoryFields();
    } catch (const store::Failure &failure) {
        // Without a category list the recipes can still go to their own categories, which make the list.
        if (failure.number() != store::Failure::FileNotFound)
            throw;
    }
    const QString destination = m_ui->cboMCat->currentText();
    const QString exported = m_ui->cboMExpCat->currentText();
    m_ui->cboMCat->clear();
    m_ui->cboMCat->addItem(ownCategoryText());
    m_ui->cboMCat->addItems(categories);
    m_ui->cboMCat->setCurrentIndex(std::max(0, int(categories.indexOf(destination)) + 1));
    m_ui->cboMExpCat->clear();
    m_ui->cboMExpCat->addItems(categories);
    m_ui->cboMExpCat->setCurrentIndex(int(categories.indexOf(exported)));
}

void frmImport::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *dropped = event->mimeData();
    if (!m_import && !m_web && (!localFiles(dropped).isEmpty() || !webAddress(dropped).isEmpty()))
        event->acceptProposedAction();
}

void frmImport::dropEvent(QDropEvent *event)
{
    const QStringList files = localFiles(event->mimeData());
    const QString address = webAddress(event->mimeData());
    event->acceptProposedAction();
    if (files.isEmpty() && !address.isEmpty())
        fetchAddress(address);
    else
        addPaths(files);
}

void frmImport::addFiles()
{
    addPaths(fileDialog()(this, {false, QStringLiteral("Add recipe files"), QString(),
                                 QStringLiteral("Recipe files (*.mmf *.mm *.txt *.mx2 *.html *.htm *.json *.zip "
                                                "*.paprikarecipes *.paprikarecipe *.cook);;"
                                                "Other apps' exports (*.paprikarecipes *.paprikarecipe *.zip *.json "
                                                "*.cook);;All files (*)")}));
}

void frmImport::addPaths(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (m_ui->lswMFiles->findItems(path, Qt::MatchExactly).isEmpty())
            m_ui->lswMFiles->addItem(path);
    }
}

void frmImport::removeFiles()
{
    qDeleteAll(m_ui->lswMFiles->selectedItems());
}

void frmImport::startImport()
{
    QStringList files;
    for (int i = 0; i < m_ui->lswMFiles->count(); ++i)
        files.append(m_ui->lswMFiles->item(i)->text());
    if (files.isEmpty()) {
        m_ui->cmdMAdd->setFocus();
        shell::msgBox(QStringLiteral("Please add the files to import first."),
                      shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
        return;
    }
    runImport(files);
}

void frmImport::runImport(const QStringList &files)
{
    const QString category = m_ui->cboMCat->currentIndex() > 0 ? m_ui->cboMCat->currentText() : QString();
    m_import = std::make_unique<store::RecipeImport>(files, category);
    if (m_web) {
        m_import->setFileNames({{m_web->pageFile(), m_web->address()}});
        m_import->setPictures(m_web->pictures());
    }
    m_ui->txtMReport->clear();
    setImporting(true);
    m_slices->start(0);
}

void frmImport::importSlice()
{
    try {
        const bool more = m_import->run(kSliceMilliseconds);
        m_ui->pbMProgress->setValue(int(m_import->progress() * m_ui->pbMProgress->maximum()));
        if (more)
            return;
        m_slices->stop();
        const store::ImportReport report = m_import->report();
        QString text = report.text();
        if (m_web && !m_web->pictureProblems().isEmpty())
            text += u'\n' + m_web->pictureProblems().join(u'\n');
        m_ui->txtMReport->setPlainText(text);
        m_import.reset();
        const bool fromFiles = !m_web;
        m_web.reset();
        if (fromFiles)
            m_ui->lswMFiles->clear();
        setImporting(false);
        showCategories();
        // A page without recipe data may still be made a recipe of, by hand: the first is offered to the
        // recipe window's editor, which holds one draft at a time; the others stay in the list of files, so
        // that the next import offers the next.
        QStringList plain;
        for (const store::ImportReport::Problem &problem : report.problems) {
            if (fromFiles && problem.reason == store::interchange::kNoRecipeData && !plain.contains(problem.file))
                plain.append(problem.file);
        }
        QFile page(plain.value(0));
        if (!plain.isEmpty() && page.open(QIODevice::ReadOnly)) {
            const PlainPageOffer offer =
                offerPlainPage(plain.first(), store::decodeText(page.read(64 * 1024 * 1024)), plain.mid(1));
            if (offer != PlainPageOffer::Declined)
                addPaths(offer == PlainPageOffer::Opened ? plain.mid(1) : plain);
        }
    } catch (const store::Failure &failure) {
        m_slices->stop();
        m_web.reset();
        const bool reading = m_import && m_import->stage() == store::RecipeImport::Stage::Reading;
        m_import.reset();
        setImporting(false);
        shell::raiseError(this, reading ? shell::codes::ImportLoad : shell::codes::ImportSave, failure);
    }
}

void frmImport::cancelImport()
{
    if (m_import)
        m_import->cancel();
    else if (m_web)
        m_web->cancel();
}

void frmImport::askAddress()
{
    const QString address = addressDialog()(this);
    if (!address.isEmpty())
        fetchAddress(address);
}

void frmImport::fetchAddress(const QString &address)
{
    if (m_import || m_web)
        return;
    m_web = std::make_unique<net::WebImport>();
    connect(m_web.get(), &net::WebImport::finished, this, &frmImport::addressFetched);
    m_ui->txtMReport->setPlainText(QStringLiteral("Fetching %1 ...").arg(address));
    setImporting(true);
    m_ui->pbMProgress->setMaximum(0); // busy, for as long as the fetch takes
    m_web->start(address);
}

void frmImport::addressFetched()
{
    m_ui->pbMProgress->setMaximum(100);
    setImporting(false);
    switch (m_web->outcome()) {
    case net::WebImport::Outcome::Recipes:
        runImport({m_web->pageFile()});
        return;
    case net::WebImport::Outcome::NoRecipeData: {
        const QString address = m_web->address();
        const QString text = m_web->pageText();
        m_web.reset();
        m_ui->txtMReport->setPlainText(address + QStringLiteral(": ") + store::interchange::kNoRecipeData);
        offerPlainPage(address, text, {});
        return;
    }
    case net::WebImport::Outcome::Failed:
    case net::WebImport::Outcome::Running:
        break;
    }
    const QString message = m_web->message();
    m_web.reset();
    m_ui->txtMReport->setPlainText(message);
    shell::msgBox(message, shell::MbSystemModal | shell::MbExclamation, QStringLiteral("Import from a web address"));
}

PlainPageOffer frmImport::offerPlainPage(const QString &shownAs, const QString &pageText, const QStringList &others)
{
    QString category = m_ui->cboMCat->currentIndex() > 0 ? m_ui->cboMCat->currentText() : QString();
    if (category.isEmpty() && m_ui->cboMCat->count() > 1)
        category = m_ui->cboMCat->itemText(1);
    return ::offerPlainPage({shownAs, pageText, others, category});
}

void frmImport::setImporting(bool importing)
{
    for (QWidget *control : std::initializer_list<QWidget *>{m_ui->lswMFiles, m_ui->cmdMAdd, m_ui->cmdMRemove,
                                                             m_ui->cmdMWeb, m_ui->cboMCat, m_ui->cmdMImport,
                                                             m_ui->cmdMSave, m_ui->fraMExport, m_ui->cmdMMain})
        control->setEnabled(!importing);
    m_ui->cmdMCancel->setEnabled(importing);
    if (importing) {
        m_ui->pbMProgress->setValue(0);
        m_ui->cmdMCancel->setFocus();
    } else {
        m_ui->cmdMImport->setFocus();
    }
}

void frmImport::saveReport()
{
    const QStringList file =
        fileDialog()(this, {true, QStringLiteral("Save the report"), QStringLiteral("Import report.txt"),
                            QStringLiteral("Text files (*.txt)")});
    if (file.isEmpty())
        return;
    try {
        store::TextWriter writer(file.first(), store::TextWriter::Replace);
        writer.writeLine(m_ui->txtMReport->toPlainText());
        writer.commit();
    } catch (const store::Failure &failure) {
        showProblem(QStringLiteral("The report could not be saved:"), failure);
    }
}

void frmImport::exportCategory(store::ExportFormat format)
{
    const QString category = m_ui->cboMExpCat->currentText();
    if (category.isEmpty()) {
        m_ui->cboMExpCat->setFocus();
        shell::msgBox(QStringLiteral("Please choose the category to export."),
                      shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
        return;
    }
    const bool mealMaster = format == store::ExportFormat::MealMaster;
    const QStringList file = fileDialog()(
        this, {true, QStringLiteral("Export %1").arg(category),
               category + (mealMaster ? QStringLiteral(".mmf") : QStringLiteral(".json")),
               mealMaster ? QStringLiteral("MealMaster files (*.mmf)") : QStringLiteral("JSON-LD files (*.json)")});
    if (file.isEmpty())
        return;
    try {
        m_ui->txtMReport->setPlainText(store::exportCategory(category, format, file.first()).text());
    } catch (const store::Failure &failure) {
        showProblem(QStringLiteral("The category could not be exported:"), failure);
    }
}

void frmImport::showMainMenu()
{
    shell::ScreenRegistry::hide(this);
    shell::ScreenRegistry::show(shell::kMainMenu);
}
