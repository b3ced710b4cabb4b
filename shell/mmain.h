#pragma once

/// The program-level routines: leaving the program, sending the user to create a category first, and
/// the last step of shutting down.
namespace mMain {

/// Hides the main menu and asks "Quit?". Yes destroys every screen and ends the program; any other
/// answer shows the main menu again.
void ExitConfirmation();

/// Tells the user to create a category first; on OK shows the main menu.
void CategoryPresenceCheck();

/// The last step when no screen remains. Linux shows no system error box for a late fault, so there is
/// nothing to switch off.
void Shutdown();

} // namespace mMain
