// The words of the key map, one table per language. tarvik_keymap lays out the
// Markdown key map and the help topic the same way for every language; all it
// writes in words comes from one of these tables.
//
// The binding tables (src/keys/bindings.cpp) hold the English titles and
// descriptions; a table in another language translates each of them, keyed by
// the English text, so a changed English text leaves its translation unmatched
// and the generator refuses the language until the translation is reviewed.
#pragma once

#include "keys/bindings.h"

namespace keymap {

// What the help topic's text may hold: the host reads help files in the OEM code page.
enum TOemText : unsigned char {
    OemAscii = 0,  // ASCII only, the common part of every OEM code page
    Oem866 = 1     // ASCII and the Cyrillic letters of code page 866
};

// A key's name where it is a word ("Enter", "Ctrl"); other keys keep their label.
struct TKeyWord {
    WORD Key;  // virtual-key code; VK_CONTROL, VK_SHIFT and VK_MENU name the modifiers
    const char* Word;
};

// A table title or command description of the binding tables, in another language.
struct TTranslation {
    const char* English;  // exactly as in the binding tables
    const char* Text;
};

// Every word of the key map in one language, UTF-8. Patterns hold %1 (and %2)
// where the generator puts a key or a list of keys.
struct TKeymapWords {
    const char* Lang;  // the generator's --lang name
    const char* Name;  // the language, for messages
    TOemText Oem;      // what the help topic may hold

    const char* MdTitle;        // the Markdown key map's heading
    const char* MdComment;      // the note on where the file comes from
    const char* MdIntro;        // paragraphs before the tables, each line ending in \n
    const char* MdColumns;      // the table head row, "| Key | ... |"
    const char* MdUnbound;      // after a prefix table: %1 the prefix, %2 the unbound keys
    const char* MdEveryOther;   // after a table without a prefix
    const char* ShiftWords[3];  // by TShiftRule
    const char* StepsWords[7];  // by TSteps
    const char* NoBindings;     // a table without rows

    const char* HlfTitle;    // the help topic's title
    const char* HlfIntro;    // help-file markup, each line ending in \n
    const char* HlfUnbound;  // after a prefix table: %1 the unbound keys

    const TKeyWord* Keys;
    int KeyCount;
    const TTranslation* Translations;  // null for English, the binding tables' own language
    int TranslationCount;
};

extern const TKeymapWords* const Languages[];
extern const int LanguageCount;

}  // namespace keymap
