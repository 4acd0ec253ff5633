// The editor access: the only code that reads or changes the text, the cursor and
// the selection of the host's editor, and that hands events to it. It speaks the
// commands' terms (a line's units and its end, a position, a block) and keeps the
// host's records to itself. Every call acts on the host's current editor; none
// keeps state between calls. Nothing here reports an error to the user: a result
// of false (or a neutral value) means the host could not or would not.
#pragma once

#include <windows.h>

#include "ground/globals.h"
#include "ground/text.h"

namespace tarvik {

// ---- The editor window ---------------------------------------------------------

// How the window shows its text: in the OEM code page (the console's), in the ANSI
// code page, or through one of the host's character tables.
enum TCodeView : unsigned char { ViewOem = 0, ViewAnsi = 1, ViewTable = 2 };

// What the host tells of the current editor window.
struct TEditorView {
    int Id;              // the host's editor ID
    int TotalLines;      // at least 1
    TCursorPos Cursor;   // the cursor (an index into the line's units)
    int TopLine;         // the line at the window's top
    int LeftPos;         // the first column shown
    int Height;          // text lines the window shows
    int TabSize;         // columns per tab stop
    bool Overtype;       // typing overwrites
    bool StreamBlock;    // a stream block is selected (a column block counts as none)
    int BlockStartLine;  // where the host says the stream block starts
    TCodeView Code;      // how the text is shown
    int TableNum;        // the host's table, for ViewTable
};

// Fills View; false (all zero) when the host cannot tell.
bool GetEditorView(TEditorView& View);

// The current editor's ID. Also safe while no editor is current: a host that fails
// or faults there yields false.
bool GetCurrentEditorId(int& Id);

// The current editor's file name as the host reports it, valid until the next call
// into the host; null when it cannot tell.
const TChar* EditorFileName();

// ---- Lines -----------------------------------------------------------------------

// A line as the host holds it. Text and Eol are the host's and stay valid until the
// next call that changes the text or redraws the screen.
struct TLine {
    const TChar* Text;  // Length units, NULs allowed
    int Length;         // 0 or more, the line end excluded
    const TChar* Eol;   // the line end, "" for none; never null
    int SelStart;       // first selected column, -1: the line is not selected
    int SelEnd;         // column after the selection, -1: through the line end
};

// Reads Line (-1: the cursor's line) as stored; false when it cannot be read.
bool ReadLine(int Line, TLine& L);

// Replaces the tabs of Line (-1: the cursor's line) by blanks in the text itself; the
// host moves the cursor and the selection of the line with its text.
void ExpandTabs(int Line);

// ExpandTabs, then ReadLine: every position of the line is then its screen column.
bool ReadExpandedLine(int Line, TLine& L);

// Writes Length units of Text (NULs allowed) as line Line with the line end Eol,
// byte for byte; false when the host refused. Eol may point into the host's own copy
// of the line. The host drops the line's selection.
bool WriteLine(int Line, const TChar* Text, int Length, const TChar* Eol);

// Breaks the cursor's line at the cursor; the cursor goes to column 0 of the new line,
// with no indentation added.
bool BreakLine();

// Deletes the unit at the cursor; at or past the line's end it joins the next line
// there (padding the line with blanks up to the cursor first).
bool DeleteChar();

// Deletes the cursor's line; the text's last line is only emptied.
bool DeleteLine();

// ---- Cursor and view -------------------------------------------------------------

// The cursor; false, with (0, 0), when the host cannot tell.
bool GetCursor(TCursorPos& Pos);

// Moves the cursor to column Pos of Line (-1: the cursor's line); false when the host
// refused, and editing there would change other text.
bool SetCursor(int Pos, int Line);

// Sets the cursor and the window together; -1 leaves a field as it is.
bool SetView(int Line, int Pos, int TopLine, int LeftPos);

// After a command expanded the cursor's line: Pos (on that line) takes the cursor's
// column afresh. False when the host cannot tell: Pos may then name another unit.
bool RefreshCursorColumn(TCursorPos& Pos);

// ---- Selection -------------------------------------------------------------------

// Selects Block as a stream block. The host reports a failure for a block that
// reaches the text's last line although it made the selection; nothing is looked at.
void SelectBlock(const TBlockExtent& Block);

// Removes the selection.
void ClearSelection();

// The one walk over the lines of the stream block: from the line where the host says
// the block starts, each line in turn, up to the first line that is not selected
// (which is read too, and ends the walk). Lines are read as stored, or tab-expanded
// (a lasting change) with their selection given where it stood before: the host moves
// a selection that starts on a tab behind the blanks that replace it, which would
// drop the tab's blanks from the block.
struct TBlockWalk {
    int Line;            // the next line to read
    int TotalLines;      // lines of the text; a walk that deletes lines lowers it
    int TabSize;         // for the expansion
    bool Expand;         // lines are tab-expanded as they are read
    bool StopAtEnd;      // end behind a line whose selection ends in it, without reading on
    TCursorPos* Follow;  // a place that goes through its line's expansion (the cursor)
    bool Moved;          // the host moved a line's selection: the block must be selected again
    bool Ended;          // the walk has passed the block's last line
    bool Failed;         // a line could not be read
    bool Any;            // a block line was read
    TBlockExtent Block;  // the block as read so far, in the read lines' columns
};

// Starts a walk; false when there is no stream block.
bool BeginBlockWalk(TBlockWalk& Walk, bool Expand, TCursorPos* Follow = nullptr);

// Reads the next block line into L and its number into Line; false at the block's end
// or when a line cannot be read (Walk.Failed).
bool NextBlockLine(TBlockWalk& Walk, TLine& L, int& Line);

// Selects the walked block again where the host moved it.
void FinishBlockWalk(const TBlockWalk& Walk);

// The stream block as the lines' own selection gives it, without expanding; false
// when there is none (also when the line the host names as its start is not selected).
bool ReadBlockExtent(TBlockExtent& Block);

// Expands the tabs of the block's lines (and of the line that ends it) and keeps the
// block where it was; Block is its extent afterwards and Cursor, when given, stays on
// its unit. False when there is no block or a line of it cannot be read.
bool ExpandBlock(TBlockExtent& Block, TCursorPos* Cursor = nullptr);

// ---- Screen and input --------------------------------------------------------------

// Redraws the editor window.
void Redraw();

// Waits for the next input event of the editor; false when the host gives none.
bool ReadInput(INPUT_RECORD& Event);

// Hands Event to the host, which dispatches it to the plug-in again (a nested call,
// served once) and then acts on it itself. The host's result; 0 when the event
// could not be handed over.
int HandToHost(INPUT_RECORD* Event);

}  // namespace tarvik
