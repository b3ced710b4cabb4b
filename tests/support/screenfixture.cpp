#include "tests/support/screenfixture.h"

#include "shell/appearance.h"
#include "shell/errorpath.h"
#include "tests/support/rows.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QTest>

namespace testing {

ScreenFixture::ScreenFixture()
{
    shell::errorHandOver() = {};
}

ScreenFixture::~ScreenFixture()
{
    QTest::qVerify(script.unexpected().isEmpty(), "no unexpected box", qPrintable(script.unexpected()), __FILE__,
                   __LINE__);
}

QWidget *ScreenFixture::place(const QString &place, QPoint &at) const
{
    QWidget *target = place.startsWith(u'@') ? screen : get(place.section(u'@', 0, 0));
    const QStringList xy = place.section(u'@', 1).split(u',');
    at = xy.size() < 2 ? target->rect().center() : QPoint(xy.at(0).toInt(), xy.at(1).toInt());
    at += QPoint(at.x() < 0 ? target->width() : 0, at.y() < 0 ? target->height() : 0);
    return target;
}

void ScreenFixture::run(const QString &steps)
{
    for (const QString &step : steps.split(" > ", Qt::SkipEmptyParts)) {
        const QString verb = step.section(u' ', 0, 0);
        const QString name = step.section(u' ', 1).section(u'=', 0, 0);
        const QString value = step.section(u'=', 1);
        QPoint at;
        if (verb == u"click") {
            QTest::mouseClick(place(name, at), Qt::LeftButton, {}, at);
        } else if (verb == u"type") {
            const QStringList lines = value.split(u'\n');
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (i > 0)
                    QTest::keyClick(get(name), Qt::Key_Return);
                QTest::keyClicks(get(name), lines.at(i));
            }
        } else if (verb == u"key") {
            QTest::keyClick(get(name), QKeySequence::fromString(value)[0].key());
        } else if (auto *combo = verb == u"pick" ? screen->findChild<QComboBox *>(name) : nullptr) {
            combo->setCurrentIndex(combo->findText(value));
            emit combo->activated(combo->currentIndex());
        } else if (verb == u"pick") {
            auto *list = get<QListWidget>(name);
            list->doItemsLayout();
            at = value.isEmpty() ? list->viewport()->rect().bottomRight() - QPoint(4, 4)
                                 : list->visualItemRect(list->findItems(value, Qt::MatchExactly).value(0)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        } else if (verb == u"hover") {
            // After each move, the hint labels: "R" red, "B" blue, "n" at rest, "?" any other colour.
            QVERIFY(QTest::qWaitForWindowExposed(screen));
            for (const QString &where : step.section(u' ', 1).split(u' ')) {
                if (where != u".")
                    QTest::mouseMove(place(where, at), at);
                m_hints << QString();
                for (const QString &label : hintLabels) {
                    const QColor color = shell::textColor(get(label));
                    m_hints.last() += color == Qt::red                 ? u'R'
                                      : color == Qt::blue              ? u'B'
                                      : color == shell::systemColor(shell::ActiveTitleBar) ? u'n'
                                                                       : u'?';
                }
            }
        } else if (verb == u"menu") {
            get<QAction>(name)->trigger();
        } else if (verb == u"show") {
            shell::ScreenRegistry::show(m_name);
            screen = shell::ScreenRegistry::find(m_name);
        } else if (verb == u"answer") {
            script.answer(name.toInt());
        } else if (verb == u"write") {
            folder.write(name, value.toUtf8());
        } else if (verb == u"mkdir") {
            folder.makeFolder(name);
        } else if (verb == u"remove") {
            QFile::remove(folder.file(name)) || QDir(folder.file(name)).removeRecursively();
        } else if (verb == u"read-only") {
            folder.setReadOnly(name);
        } else if (verb == u"set") {
            QWidget *box = get(name);
            box->setProperty(box->property("plainText").isValid() ? "plainText" : "text", value);
        } else if (verb == u"check") {
            const QSignalBlocker quiet(get(name));
            get<QAbstractButton>(name)->setChecked(true);
        } else {
            qFatal("unknown step %s", qPrintable(step));
        }
    }
}

QString ScreenFixture::state(const QString &keys) const
{
    QStringList values;
    for (const QString &key : keys.split(u' ')) {
        const QWidget *error = shell::ScreenRegistry::find("frmError");
        const auto *control = key.contains(u':') || !screen ? nullptr : screen->findChild<QWidget *>(key);
        const QString path = QString(key.section(u':', 1)).replace(u'_', u' ');
        const auto *box = qobject_cast<const QAbstractButton *>(control);
        QStringList entries;
        if (const auto *list = qobject_cast<const QListWidget *>(control)) {
            for (int i = 0; i < list->count(); ++i)
                entries << list->item(i)->text();
        } else if (const auto *combo = qobject_cast<const QComboBox *>(control)) {
            for (int i = 0; i < combo->count(); ++i)
                entries << (i == combo->currentIndex() ? "*" : "") + combo->itemText(i);
        }
        if (const QString own = ownKeys(key); !own.isNull()) {
            values << own;
        } else if (key == u"report") {
            values << (error && error->isVisible() && !screen->isVisible()
                           ? shell::errorHandOver().code + shell::errorHandOver().numberText
                           : QString());
        } else if (key == u"boxes") {
            for (const MessageScript::Box &shown : script.boxes())
                entries << QString("%1 %2: %3").arg(shown.flags).arg(shown.title, shown.prompt);
            values << entries.join(" + ");
        } else if (key == u"hints") {
            values << m_hints.join(u' ');
        } else if (key == u"focus") {
            values << (screen->focusWidget() ? screen->focusWidget()->objectName() : QString());
        } else if (key == u"screen" || key == u"main") {
            const QWidget *window = key == u"main" ? shell::ScreenRegistry::find(shell::kMainMenu) : screen;
            values << (window && window->isVisible() ? "shown" : "hidden");
        } else if (key.startsWith(u"file:")) {
            values << QString::fromUtf8(folder.read(path));
        } else if (key.startsWith(u"dir:") || key == u"trash") {
            values << QDir(key == u"trash" ? folder.trashFiles() : folder.file(path))
                          .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                     QDir::Name | QDir::IgnoreCase)
                          .join(u'|');
        } else if (box && box->isCheckable()) {
            values << QString(box->isChecked() ? "checked" : "unchecked") + (box->isEnabled() ? "" : ", disabled");
        } else if (qobject_cast<const QListWidget *>(control) || qobject_cast<const QComboBox *>(control)) {
            values << entries.join(u'|');
        } else if (control) {
            values << control->property(control->property("plainText").isValid() ? "plainText" : "text").toString();
        } else {
            qFatal("unknown key %s", qPrintable(key));
        }
    }
    for (QString &value : values)
        value = value.isEmpty() ? "-" : value;
    return values.join(" / ");
}

void ScreenFixture::runRow()
{
    const auto [steps, keys, shown] = cells<3>();
    run(steps);
    QCOMPARE(state(keys), shown);
}

} // namespace testing
