#pragma once

/// Makes every screen of the program known to the screen registry by its name.
void registerScreens();
