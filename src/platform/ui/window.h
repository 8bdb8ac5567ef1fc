#pragma once

#include <initializer_list>
#include <optional>
#include <string>

#include "platform/ui/colour.h"
#include "platform/ui/controls.h"
#include "platform/ui/messages.h"

// Top-level windows and the message loop. The thread that runs the loop (or pumpMessages) is the UI thread: window
// procedures run there, and only there are windows created, shown, moved and destroyed. post, postQuit and the calls of
// controls.h may come from any thread.
namespace cvl::ui {

struct WindowSpec {
  std::string title;
  Rect bounds;  // position on the screen and size; the whole area is the window's to paint
  WindowProc procedure;
  Colour background = rgb(0, 0, 0);  // what an erasing repaint fills the area with before the procedure paints
};

// Creates the window and sends it msgCreate (its procedure may create controls then). noHandle when the procedure
// refuses with -1. The window stays hidden until showWindow.
Handle createWindow(WindowSpec spec);
void showWindow(Handle window);
// Paints at once what is invalid, instead of when the queue is next empty; false for a dead window.
bool updateWindow(Handle window);
// Sends msgDestroy, then removes the window with its controls. Messages still queued for it are dropped.
void destroyWindow(Handle window);

// The window's place on the screen; nullopt for a dead window.
std::optional<Rect> windowRect(Handle window);
void moveWindow(Handle window, int left, int top);
void setTopmost(Handle window, bool topmost);
bool isTopmost(Handle window);

// Queues a message for the window's procedure without waiting; false when the window is dead.
bool post(Handle window, Message message, WParam wParam = 0, LParam lParam = 0);
// Ends the message loop with the exit code once the messages queued before it have been handled.
void postQuit(int exitCode);

// Handles messages and repaints until postQuit; returns its exit code.
int runMessageLoop();
// Handles what is queued and repaints what is invalid, without waiting; the exit code when a quit was reached.
std::optional<int> pumpMessages();
// True on the UI thread while it runs the message loop or pumps messages: window procedures and the user's commands
// run there, and what they do must not make the window wait.
bool onUiThread();

// What a message means when the procedure does not handle it: msgClose destroys the window; everything else gives 0.
LResult defWindowProc(Handle window, Message message, WParam wParam, LParam lParam);

// Holds the signals in the calling thread and in every thread it starts from then on: one that comes meanwhile waits
// for closeOnSignals, instead of ending the process by its default action.
void holdSignals(std::initializer_list<int> signalNumbers);

// Makes each of the signals act as the window's close box: the handler only wakes the UI thread (safe in a signal
// handler), which then posts msgClose to the window. The calling thread then takes the signals again, and with them
// one held since holdSignals, which closes the window as a later one does.
void closeOnSignals(Handle window, std::initializer_list<int> signalNumbers);

}  // namespace cvl::ui
