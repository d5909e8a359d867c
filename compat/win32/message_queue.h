#pragma once
// The message queue of the program's one thread and the window procedure calls.
//
// Input and window events of the display system are turned into messages when
// the queue is read: keyboard and mouse input and close requests are posted
// (they come out of PeekMessageA / GetMessageA and reach the procedure through
// DispatchMessageA); activation changes and moves or resizes made by the user
// are sent straight to the procedure while the queue is being read, as the
// system does with messages sent from outside the thread. WM_PAINT comes out
// of the queue, once nothing else is waiting, for every visible window whose
// content was invalidated, until BeginPaint validates it.
#include "compat/win32/win_types.h"

// PeekMessageA removal flags.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// Reads one message without blocking; FALSE when none matches. A window of
// null matches every window; a range of 0, 0 matches every message.
BOOL PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT removal);
// Blocks until a message arrives; answers 0 for WM_QUIT, else nonzero.
BOOL GetMessageA(MSG* message, HWND window, UINT first, UINT last);
// Blocks until something arrives in the queue.
BOOL WaitMessage();
// Posts the character messages that a key message produces.
BOOL TranslateMessage(const MSG* message);
// Calls the window procedure of the message's window.
LRESULT DispatchMessageA(const MSG* message);

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window procedure at once; 0 for an invalid window.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues WM_QUIT, which comes out once the posted messages before it are read.
void PostQuitMessage(int exitCode);

// Whether the user asked to close a window or the system asked the program to
// end (SIGTERM, SIGINT) and that request still waits, or was read before:
// asked from inside a long script, which keeps the queue from being read.
// Reads the display system's input into its queue but takes nothing out.
bool CloseRequestPending();

// The system's handling of any message a procedure does not handle itself:
// WM_CLOSE destroys the window, WM_WINDOWPOSCHANGED sends WM_MOVE and WM_SIZE,
// WM_PAINT validates, WM_SETICON and WM_SETTEXT change the window, WM_NCHITTEST
// places the point, WM_SYSCOMMAND SC_CLOSE sends WM_CLOSE.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
