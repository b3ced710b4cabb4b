#include "screens/shop.h"

#include "print/lineprinter.h"
#include "print/printjob.h"
#include "print/textprint.h"
#include "screens/calendar.h"
#include "shell/appearance.h"
#include "shell/errorcodes.h"
#include "shell/errorpath.h"
#include "shell/hoverhints.h"
#include "shell/menubar.h"
#include "shell/mmain.h"
#include "shell/module1.h"
#include "store/appfolder.h"
#include "store/fileops.h"
#include "store/io/failure.h"
#include "store/io/textfile.h"
#include "ui_shop.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyleOptionFocusRect>
#include <QTextCursor>

namespace {

bool showPrintDialog(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

frmShop::PrintDialog &printDialog()
{
    static frmShop::PrintDialog dialog = showPrintDialog;
    return dialog;
}

bool isLeftClick(const QEvent *event)
{
    return event->type() == QEvent::MouseButtonRelease &&
           static_cast<const QMouseEvent *>(event)->button() == Qt::LeftButton;
}

bool isOpenKey(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

} // namespace

frmShop::frmShop(QWidget *parent) : shell::Screen(parent), m_ui(std::make_unique<Ui::frmShop>())
{
    m_ui->setupUi(this);
    // The screen opens ready to type a list.
    m_ui->txtHList->setFocus();
    m_ui->txtHList->installEventFilter(this);
    m_ui->lswHOpen->installEventFilter(this);
    m_ui->lswHOpen->viewport()->installEventFilter(this);
    m_ui->imgHCal->installEventFilter(this);
    setUpHints();

    connect(m_ui->cmdHNew, &QPushButton::clicked, this, &frmShop::newList);
    connect(m_ui->cmdHSave, &QPushButton::clicked, this, &frmShop::saveList);
    connect(m_ui->cmdHPrint, &QPushButton::clicked, this, &frmShop::printList);
    connect(m_ui->cmdHDel, &QPushButton::clicked, this, &frmShop::deleteList);
    connect(m_ui->cmdHMain, &QPushButton::clicked, this, &frmShop::showMain);
    connect(m_ui->SMXPH, &shell::MenuBar::itemClick, this, &frmShop::menuClick);
}

frmShop::~frmShop() = default;

void frmShop::setPrintDialog(PrintDialog dialog)
{
    printDialog() = dialog ? std::move(dialog) : showPrintDialog;
}

void frmShop::setUpHints()
{
    auto *hints = new shell::HoverHints(this);
    hints->explain(m_ui->lblHMsg, {m_ui->lswHOpen});
    hints->explain(m_ui->lblHMsg1, {m_ui->txtHList});
    hints->explain(m_ui->lblHMsg2, {m_ui->txtHName, m_ui->lblHName});
    hints->explain(m_ui->lblHMsg3, {m_ui->imgHCal});
    hints->restOver(this, {m_ui->lblHMsg, m_ui->lblHMsg1, m_ui->lblHMsg2, m_ui->lblHMsg3});
}

void frmShop::load()
{
    try {
        Module1::DropShadow(this);
        shell::BuildMenuBar(m_ui->SMXPH, shell::shopMenu());
        setNameLocked(true);
        QStringList names;
        Module1::ListFolderFiles(store::shoppingListFolderPath(), names);
        m_ui->lswHOpen->clear();
        m_ui->lswHOpen->addItems(names);
    } catch (const store::Failure &failure) {
        if (failure.number() == store::Failure::FileNotFound) {
            mMain::CategoryPresenceCheck();
            return;
        }
        shell::raiseError(this, shell::codes::ShopLoad, failure);
    }
}

bool frmShop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->txtHList && event->type() == QEvent::KeyPress) {
        // Any key that types a character opens the name; Tab only moves the focus on.
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (!key->text().isEmpty() && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab)
            setNameLocked(false);
    } else if (watched == m_ui->lswHOpen->viewport() && isLeftClick(event)) {
        // A click anywhere in the list opens the selected list, also a click beside the entries.
        openList();
    } else if (watched == m_ui->lswHOpen && event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            openList();
            return true;
        }
    } else if (watched == m_ui->imgHCal && isLeftClick(event)) {
        showCalendar();
    } else if (watched == m_ui->imgHCal && isOpenKey(event)) {
        // From the keyboard, Enter or Space on the icon opens the calendar as a click does.
        showCalendar();
        return true;
    } else if (watched == m_ui->imgHCal && event->type() == QEvent::Paint && m_ui->imgHCal->hasFocus()) {
        // The icon shows the keyboard focus as a button does: its picture, then the focus frame over it.
        static_cast<QObject *>(m_ui->imgHCal)->event(event);
        QPainter painter(m_ui->imgHCal);
        QStyleOptionFocusRect frame;
        frame.initFrom(m_ui->imgHCal);
        m_ui->imgHCal->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, m_ui->imgHCal);
        return true;
    }
    return shell::Screen::eventFilter(watched, event);
}

void frmShop::setNameLocked(bool locked)
{
    m_ui->txtHName->setEnabled(!locked);
    QPalette palette = m_ui->txtHName->palette();
    palette.setColor(QPalette::Base, shell::systemColor(locked ? shell::ButtonFace : shell::WindowBackground));
    m_ui->txtHName->setPalette(palette);
    m_ui->lblHName->setEnabled(!locked);
}

QListWidgetItem *frmShop::selectedFile() const
{
    const QList<QListWidgetItem *> selected = m_ui->lswHOpen->selectedItems();
    if (selected.isEmpty())
        throw store::Failure(store::Failure::ObjectNotSet);
    return selected.constFirst();
}

void frmShop::newList()
{
    Module1::ClearScreen(Module1::ScreenShop);
    setNameLocked(true);
    m_ui->txtHList->setFocus();
}

void frmShop::saveList()
{
    try {
        // No rule on the name: an empty one saves ".txt", and "Weekly.txt" saves "Weekly.txt.txt".
        const QString path = store::shoppingListPath(m_ui->txtHName->text() + QStringLiteral(".txt"));
        store::TextWriter writer(path, store::TextWriter::Replace);
        writer.writeLine(m_ui->txtHList->toPlainText());
        writer.commit();
    } catch (const store::Failure &failure) {
        shell::raiseError(this, shell::codes::ShopSave, failure);
    }
}

void frmShop::openList()
{
    try {
        setNameLocked(true);
        const QString path = store::shoppingListPath(selectedFile()->text());
        m_ui->txtHList->setPlainText(store::TextReader::open(path).readAll());
    } catch (const store::Failure &failure) {
        shell::raiseError(this, shell::codes::ShopOpen, failure);
    }
}

void frmShop::deleteList()
{
    try {
        if (m_ui->txtHList->toPlainText().isEmpty())
            return;
        store::deleteFile(store::shoppingListPath(selectedFile()->text()));
        newList();
    } catch (const store::Failure &failure) {
        shell::raiseError(this, shell::codes::ShopDelete, failure);
    }
}

void frmShop::printList()
{
    // Printing never reports a failure: a cancelled dialog, a missing file or a printer fault end it quietly.
    try {
        if (!m_printer)
            m_printer = shell::makePrinter();
        const QList<QListWidgetItem *> selected = m_ui->lswHOpen->selectedItems();
        shell::nameDocument(*m_printer, selected.isEmpty() ? QString() : selected.constFirst()->text());
        if (!printDialog()(*m_printer, this))
            return;
        // The saved file is printed, not the text on screen.
        const QString path = store::shoppingListPath(selectedFile()->text());
        shell::runPrintJob(this, std::make_unique<shell::PainterLinePrinter>(m_printer.get()), QFileInfo(path).size(),
                           [&path](shell::LinePrinter &printer) { textprint::printTextFile(printer, path); });
    } catch (const store::Failure &) {
    }
}

void frmShop::addLines(const QStringList &lines, Into into)
{
    shell::ScreenRegistry::show<frmShop>();
    if (!isVisible())
        return; // the screen failed to load and the error report shows
    // Put in through a cursor, so that Undo takes the lines away again (and brings back a list replaced).
    QTextCursor cursor(m_ui->txtHList->document());
    QString text = lines.join(QLatin1Char('\n'));
    if (into == Into::NewList) {
        cursor.select(QTextCursor::Document);
        m_ui->txtHName->clear();
        m_ui->lswHOpen->clearSelection();
    } else {
        cursor.movePosition(QTextCursor::End);
        const QString before = m_ui->txtHList->toPlainText();
        if (!before.isEmpty() && !before.endsWith(u'\n'))
            text.prepend(QLatin1Char('\n'));
    }
    cursor.insertText(text);
    m_ui->txtHList->setTextCursor(cursor);
    setNameLocked(false);
    m_ui->txtHName->setFocus();
}

QString frmShop::listText() const
{
    return m_ui->txtHList->toPlainText();
}

void frmShop::showMain()
{
    shell::ScreenRegistry::hide(QStringLiteral("frmCalendar"));
    shell::ScreenRegistry::hide(this);
    shell::ScreenRegistry::show(shell::kMainMenu);
}

void frmShop::showCalendar()
{
    shell::ScreenRegistry::show<frmCalendar>();
}

void frmShop::menuClick(int id)
{
    const QString key = m_ui->SMXPH->keyOf(id);
    if (key == u"keyNew")
        newList();
    else if (key == u"keySave")
        saveList();
    else if (key == u"keyPrint")
        printList();
    else if (key == u"keyMain")
        showMain();
    else if (key == u"keyDelete")
        deleteList();
    else if (key == u"keyCalendar")
        showCalendar();
}
