// Windows only: gives the test program a real console to work on before any
// test runs. Under Wine the program runs inside a pseudo-terminal with its
// standard output sent to a file; the plug-in's screen-buffer calls go to the
// standard output handle, so that handle must name the console instead, with
// the 80 x 25 screen that the real host gives the editor.
#ifdef _WIN32
#include <windows.h>

namespace {

// Opens a console device ("CONIN$" / "CONOUT$"); INVALID_HANDLE_VALUE when there is none.
HANDLE OpenConsoleDevice(const char* Name) {
    return CreateFileA(Name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

// True when the handle is a console (input or screen buffer) rather than a file or pipe.
bool IsConsole(HANDLE Handle) {
    DWORD Mode = 0;
    return Handle != nullptr && Handle != INVALID_HANDLE_VALUE && GetConsoleMode(Handle, &Mode);
}

// Sets the screen buffer and its window to Width x Height. The window may never be
// larger than the buffer, so it shrinks first and takes the full size last.
void SizeScreen(HANDLE Out, SHORT Width, SHORT Height) {
    SMALL_RECT Tiny = {0, 0, 0, 0};
    SetConsoleWindowInfo(Out, TRUE, &Tiny);
    SetConsoleScreenBufferSize(Out, COORD{Width, Height});
    SMALL_RECT Full = {0, 0, static_cast<SHORT>(Width - 1), static_cast<SHORT>(Height - 1)};
    SetConsoleWindowInfo(Out, TRUE, &Full);
}

// Points the standard handles at the console, reads it raw and sizes its screen.
void AttachConsoleHandles() {
    if (!IsConsole(GetStdHandle(STD_INPUT_HANDLE))) {
        HANDLE In = OpenConsoleDevice("CONIN$");
        if (In != INVALID_HANDLE_VALUE) SetStdHandle(STD_INPUT_HANDLE, In);
    }
    // Like the real host: with processed input a Ctrl+C key event written into
    // the buffer (Ctrl+K Ctrl+C is a binding) raises a console control event,
    // whose default handler ends the process quietly with exit code 0.
    SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT);
    SetConsoleCtrlHandler(nullptr, TRUE);
    if (!IsConsole(GetStdHandle(STD_OUTPUT_HANDLE))) {
        HANDLE Out = OpenConsoleDevice("CONOUT$");
        if (Out == INVALID_HANDLE_VALUE) return;
        SetStdHandle(STD_OUTPUT_HANDLE, Out);
    }
    SizeScreen(GetStdHandle(STD_OUTPUT_HANDLE), 80, 25);
}

}  // namespace

namespace host {

// Puts the console back as every test expects to find it: an 80 x 25 screen of
// blanks in attribute 0x07 and no input waiting. A test that resized the screen
// or left keys behind would otherwise change the tests after it.
void ResetWin32Console() {
    HANDLE Out = GetStdHandle(STD_OUTPUT_HANDLE);
    SizeScreen(Out, 80, 25);
    DWORD Done = 0;
    FillConsoleOutputCharacterA(Out, ' ', 80 * 25, COORD{0, 0}, &Done);
    FillConsoleOutputAttribute(Out, 0x07, 80 * 25, COORD{0, 0}, &Done);
    FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
}

}  // namespace host

namespace {

// Runs before main: the C runtime has already bound stdout to the file, so test
// output still goes there.
const bool ConsoleAttached = (AttachConsoleHandles(), true);

}  // namespace
#endif  // _WIN32
