#pragma once

// SIGINT and SIGTERM end the event loop as closing the main window does, so the
// program shuts down in order (Tra committed, attachment released). The client
// library installs handlers of its own when it attaches, which keep the signals
// from ending the program: call this after each attach.
namespace termination {

void quitOnSignals();
// Whether SIGINT or SIGTERM came since quitOnSignals(): long work that keeps the
// event loop waiting (a backup) asks, and stops.
bool requested();

} // namespace termination
