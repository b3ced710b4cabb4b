#include "tests/support/screens.h"

#include <QCoreApplication>
#include <QEvent>

namespace testing {

ScreenSession::ScreenSession()
{
    shell::ScreenRegistry::add(shell::kMainMenu, [] {
        auto *menu = new shell::Screen;
        menu->setObjectName(shell::kMainMenu);
        return menu;
    });
    shell::ScreenRegistry::setQuitFunction([this] { ++m_quits; });
}

ScreenSession::~ScreenSession()
{
    shell::ScreenRegistry::setQuitFunction([] {});
    shell::ScreenRegistry::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    shell::ScreenRegistry::setQuitFunction({});
}

} // namespace testing
