#pragma once

#include "shell/screen.h"

namespace testing {

/// The screen registry for one test: a plain stand-in registered as the main menu (unless the test
/// registers its own), a quit function that records the end instead of ending the test process, and
/// every screen unloaded when the test is done.
class ScreenSession
{
public:
    ScreenSession();
    ~ScreenSession();

    /// How many times the program was ended.
    int quitCount() const { return m_quits; }

private:
    int m_quits = 0;
};

} // namespace testing
