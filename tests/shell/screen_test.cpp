#include "shell/screen.h"
#include "tests/support/screens.h"

#include <QTest>

using shell::Screen;
using shell::ScreenRegistry;

namespace {

/// A screen that counts its loads and can fail during them.
class CountingScreen : public Screen
{
public:
    static inline int loads = 0;
    static inline bool hideWhileLoading = false;

protected:
    void load() override
    {
        ++loads;
        if (hideWhileLoading)
            ScreenRegistry::hide(this);
    }
};

} // namespace

class ScreenRegistryTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        CountingScreen::loads = 0;
        CountingScreen::hideWhileLoading = false;
        ScreenRegistry::add(QStringLiteral("frmCounting"), [] { return new CountingScreen; });
    }

    void showTwice_loadsOnceAndKeepsOneInstance()
    {
        testing::ScreenSession session;
        ScreenRegistry::show(QStringLiteral("frmCounting"));
        Screen *first = ScreenRegistry::find(QStringLiteral("frmCounting"));
        QVERIFY(first && first->isVisible());
        ScreenRegistry::hide(QStringLiteral("frmCounting"));
        QVERIFY(!first->isVisible());

        ScreenRegistry::show(QStringLiteral("frmCounting"));
        QCOMPARE(ScreenRegistry::find(QStringLiteral("frmCounting")), first);
        QVERIFY(first->isVisible());
        QCOMPARE(CountingScreen::loads, 1);
        QCOMPARE(ScreenRegistry::loaded().count(first), 1);
    }

    void screenHiddenDuringItsLoad_isNotShown()
    {
        testing::ScreenSession session;
        CountingScreen::hideWhileLoading = true;
        ScreenRegistry::show(QStringLiteral("frmCounting"));
        Screen *screen = ScreenRegistry::find(QStringLiteral("frmCounting"));
        QVERIFY(screen);
        QVERIFY(!screen->isVisible());

        // Shown again later, it appears: the load does not run a second time.
        ScreenRegistry::show(QStringLiteral("frmCounting"));
        QVERIFY(screen->isVisible());
        QCOMPARE(CountingScreen::loads, 1);
    }

    void unknownName_doesNothing()
    {
        testing::ScreenSession session;
        ScreenRegistry::show(QStringLiteral("frmNowhere"));
        ScreenRegistry::hide(QStringLiteral("frmNowhere"));
        QVERIFY(!ScreenRegistry::find(QStringLiteral("frmNowhere")));
    }

    void unloadAll_destroysHiddenScreensTooAndQuits()
    {
        testing::ScreenSession session;
        ScreenRegistry::show(QStringLiteral("frmCounting"));
        ScreenRegistry::show(QStringLiteral("frmMain"));
        QPointer<Screen> counting = ScreenRegistry::find(QStringLiteral("frmCounting"));
        ScreenRegistry::hide(counting);

        ScreenRegistry::unloadAll();
        QCOMPARE(session.quitCount(), 1);
        QVERIFY(ScreenRegistry::loaded().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(counting.isNull());
    }
};

QTEST_MAIN(ScreenRegistryTest)
#include "screen_test.moc"
