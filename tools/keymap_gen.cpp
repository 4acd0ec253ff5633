// tarvik_keymap: writes the key map from the binding tables themselves, so the
// documentation cannot drift from the code. The words come from the language's
// table in keymap_words.cpp; the layout here is the same for every language.
//
//   tarvik_keymap --md [--lang L] [-o FILE]   the Markdown key map (docs/keymap.md), UTF-8
//   tarvik_keymap --hlf [--lang L] [-o FILE]  the same as a topic for the language's help
//                                             file, in its OEM code page (866 for rus)
//   tarvik_keymap --check FILE                exit 1 when FILE differs from what --md writes
//
// L is eng (the default) or rus. A language whose table lacks a word, or whose
// help topic would hold an English word, is refused rather than written.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "keymap_words.h"
#include "keys/bindings.h"

namespace {

using keymap::TKeymapWords;
using tarvik::KeyTables;
using tarvik::TBinding;
using tarvik::TKeyTable;
using tarvik::TKeyTableId;

// The label of a virtual-key code as keyboards print it: "B", "5", "F7", "Del", "[",
// or "0xNN" for a key without one.
std::string KeyLabel(WORD Key) {
    struct TLabel {
        WORD Key;
        const char* Text;
    };
    static const TLabel labels[] = {
        {VK_BACK, "Backspace"}, {VK_TAB, "Tab"},     {VK_RETURN, "Enter"},
        {VK_ESCAPE, "Esc"},     {VK_SPACE, "Space"}, {VK_DELETE, "Del"},
        {VK_INSERT, "Ins"},     {VK_OEM_4, "["},     {VK_OEM_6, "]"},
    };
    for (const TLabel& label : labels) {
        if (label.Key == Key) return label.Text;
    }
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return std::string(1, static_cast<char>(Key));
    char text[16];
    if (Key >= VK_F1 && Key <= VK_F12)
        std::snprintf(text, sizeof text, "F%d", Key - VK_F1 + 1);
    else
        std::snprintf(text, sizeof text, "0x%02X", Key);
    return text;
}

// A key's name in the language: its word when it has one, else its label ("B", "F7", "[").
std::string KeyName(const TKeymapWords& Words, WORD Key) {
    for (int i = 0; i < Words.KeyCount; ++i) {
        if (Words.Keys[i].Key == Key) return Words.Keys[i].Word;
    }
    return KeyLabel(Key);
}

bool IsPrefixTable(const TKeyTable& Table) {
    return Table.Id == tarvik::TableCtrlK || Table.Id == tarvik::TableCtrlQ;
}

// The key that opens a prefix table, "Ctrl+K" or "Ctrl+Q".
std::string PrefixKey(const TKeymapWords& Words, TKeyTableId Table) {
    return KeyName(Words, VK_CONTROL) + "+" +
           KeyName(Words, static_cast<WORD>(Table == tarvik::TableCtrlK ? 'K' : 'Q'));
}

// The whole key of a row as users write it: "Ctrl+K B", "Ctrl+Shift+P", "Backspace".
std::string KeyOf(const TKeymapWords& Words, TKeyTableId Table, const TBinding& Row) {
    std::string text;
    switch (Table) {
        case tarvik::TableAlt:
            text = KeyName(Words, VK_MENU) + "+";
            break;
        case tarvik::TableCtrl:
            text = KeyName(Words, VK_CONTROL) + "+";
            break;
        case tarvik::TableCtrlK:
        case tarvik::TableCtrlQ:
            text = PrefixKey(Words, Table) + " ";
            break;
        default:
            break;
    }
    if (Row.Shift == tarvik::ShiftDown) text += KeyName(Words, VK_SHIFT) + "+";
    return text + KeyName(Words, Row.Key);
}

// A title or description of the binding tables in the language; the English text
// itself when the language has no word for it (Gaps reports that first).
const char* Translated(const TKeymapWords& Words, const char* English) {
    if (!Words.Translations) return English;
    for (int i = 0; i < Words.TranslationCount; ++i) {
        const keymap::TTranslation& t = Words.Translations[i];
        if (std::strcmp(t.English, English) == 0 && t.Text) return t.Text;
    }
    return English;
}

// Pattern with %1 and %2 replaced.
std::string Fill(const char* Pattern, const std::string& First, const std::string& Second = "") {
    std::string out;
    for (const char* p = Pattern; *p; ++p) {
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
            out += p[1] == '1' ? First : Second;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

// Letter and digit keys that a prefix table leaves to the host, e.g. "A, D, G".
std::string UnboundLettersAndDigits(const TKeyTable& Table) {
    std::string out;
    for (int key = '0'; key <= 'Z'; ++key) {
        if (key > '9' && key < 'A') continue;
        if (tarvik::FindBinding(Table.Id, static_cast<WORD>(key), 0)) continue;
        if (!out.empty()) out += ", ";
        out += static_cast<char>(key);
    }
    return out;
}

// What keeps Words from making a complete key map: a missing word, a title or
// description without its translation, a translation that no longer matches one.
std::vector<std::string> Gaps(const TKeymapWords& Words) {
    std::vector<std::string> gaps;
    const char* const texts[] = {Words.MdTitle,      Words.MdComment,     Words.MdIntro,
                                 Words.MdColumns,    Words.MdUnbound,     Words.MdEveryOther,
                                 Words.NoBindings,   Words.HlfTitle,      Words.HlfIntro,
                                 Words.HlfUnbound,   Words.ShiftWords[0], Words.ShiftWords[1],
                                 Words.ShiftWords[2]};
    for (const char* text : texts) {
        if (!text || !*text) gaps.push_back("a heading, note or Shift word is missing");
    }
    for (const char* text : Words.StepsWords) {
        if (!text || !*text) gaps.push_back("a Steps word is missing");
    }
    const TKeymapWords& english = *keymap::Languages[0];
    for (int i = 0; i < english.KeyCount; ++i) {
        const WORD key = english.Keys[i].Key;
        bool found = false;
        for (int j = 0; j < Words.KeyCount; ++j) found = found || Words.Keys[j].Key == key;
        if (!found) gaps.push_back("no name for the key " + KeyName(english, key));
    }
    if (!Words.Translations) return gaps;

    std::vector<int> uses(static_cast<size_t>(Words.TranslationCount), 0);
    auto need = [&](const char* English, const std::string& Where) {
        int found = 0;
        for (int i = 0; i < Words.TranslationCount; ++i) {
            const keymap::TTranslation& t = Words.Translations[i];
            if (std::strcmp(t.English, English) != 0) continue;
            ++found;
            ++uses[static_cast<size_t>(i)];
            if (!t.Text || !*t.Text)
                gaps.push_back("an empty translation of \"" + std::string(English) + "\"");
        }
        if (found == 0)
            gaps.push_back("no words for \"" + std::string(English) + "\" (" + Where + ")");
        if (found > 1) gaps.push_back("\"" + std::string(English) + "\" is translated twice");
    };
    for (const TKeyTable& table : KeyTables) {
        need(table.Title, "a table title");
        for (int i = 0; i < table.Count; ++i)
            need(table.Rows[i].Description, KeyOf(english, table.Id, table.Rows[i]));
    }
    for (int i = 0; i < Words.TranslationCount; ++i) {
        if (uses[static_cast<size_t>(i)] == 0)
            gaps.push_back("\"" + std::string(Words.Translations[i].English) +
                           "\" is in no binding table any more: its translation is stale");
    }
    return gaps;
}

std::string Markdown(const TKeymapWords& Words) {
    std::ostringstream md;
    md << "# " << Words.MdTitle << "\n\n<!-- " << Words.MdComment << " -->\n\n" << Words.MdIntro;
    for (const TKeyTable& table : KeyTables) {
        md << "\n## " << Translated(Words, table.Title) << "\n\n";
        if (table.Count == 0) {
            md << Words.NoBindings << "\n";
            continue;
        }
        md << Words.MdColumns << "\n|---|---|---|---|---|\n";
        for (int i = 0; i < table.Count; ++i) {
            const TBinding& row = table.Rows[i];
            md << "| " << KeyOf(Words, table.Id, row) << " | " << Words.ShiftWords[row.Shift]
               << " | `" << row.Name << "` | " << Words.StepsWords[row.Steps] << " | "
               << Translated(Words, row.Description) << " |\n";
        }
        md << "\n";
        if (IsPrefixTable(table)) {
            md << Fill(Words.MdUnbound, PrefixKey(Words, table.Id), UnboundLettersAndDigits(table))
               << "\n";
        } else {
            md << Words.MdEveryOther << "\n";
        }
    }
    return md.str();
}

// Help-file text: '#', '~' and '@' are markup there and are doubled to stand for themselves.
std::string HelpEscaped(const std::string& Text) {
    std::string out;
    for (char c : Text) {
        if (c == '#' || c == '~' || c == '@') out += c;
        out += c;
    }
    return out;
}

std::string Padded(const std::string& Text, size_t Width) {
    return Text.size() >= Width ? Text + " " : Text + std::string(Width - Text.size(), ' ');
}

// The help topic in UTF-8; ToOem makes it the help file's text.
std::string HelpTopic(const TKeymapWords& Words) {
    std::ostringstream hlf;
    hlf << "@KeyMap\n$ #" << HelpEscaped(Words.HlfTitle) << "#\n" << Words.HlfIntro;
    for (const TKeyTable& table : KeyTables) {
        hlf << "\n #" << HelpEscaped(Translated(Words, table.Title)) << "#\n\n";
        if (table.Count == 0) {
            hlf << "   " << Words.NoBindings << "\n";
            continue;
        }
        for (int i = 0; i < table.Count; ++i) {
            const TBinding& row = table.Rows[i];
            hlf << "   " << Padded(HelpEscaped(KeyOf(Words, table.Id, row)), 16)
                << HelpEscaped(Translated(Words, row.Description)) << "\n";
        }
        if (IsPrefixTable(table)) {
            hlf << "\n   " << Fill(Words.HlfUnbound, UnboundLettersAndDigits(table)) << "\n";
        }
    }
    return hlf.str();
}

// Latin words of a translated help topic that are not key names: English left
// where the language has its own words. One message per line that holds one.
std::vector<std::string> Leaks(const TKeymapWords& Words, const std::string& Topic) {
    std::vector<std::string> leaks;
    if (!Words.Translations) return leaks;
    auto latin = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    auto isKeyWord = [&](const std::string& Word) {
        for (int i = 0; i < Words.KeyCount; ++i) {
            if (Word == Words.Keys[i].Word) return true;
        }
        return false;
    };
    std::istringstream lines(Topic);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] == '@') continue;  // the topic's name is not text
        for (size_t at = 0; at < line.size();) {
            if (!latin(line[at])) {
                ++at;
                continue;
            }
            size_t end = at;
            while (end < line.size() && latin(line[end])) ++end;
            const std::string word = line.substr(at, end - at);
            if (word.size() > 1 && !isKeyWord(word)) {
                leaks.push_back("\"" + word + "\" in: ");
                leaks.back() += line;
                break;
            }
            at = end;
        }
    }
    return leaks;
}

// Text (UTF-8) in the OEM code page that Oem allows; false, with the offending
// character in Error, when it holds a character outside it.
bool ToOem(const std::string& Text, keymap::TOemText Oem, std::string& Out, std::string& Error) {
    Out.clear();
    for (size_t i = 0; i < Text.size();) {
        const unsigned char lead = static_cast<unsigned char>(Text[i]);
        if (lead < 0x80) {
            Out += static_cast<char>(lead);
            ++i;
            continue;
        }
        // Every character of code page 866 above ASCII that the tables use is two bytes in UTF-8.
        unsigned code = 0;
        if ((lead & 0xE0) == 0xC0 && i + 1 < Text.size() &&
            (static_cast<unsigned char>(Text[i + 1]) & 0xC0) == 0x80)
            code = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(Text[i + 1]) & 0x3Fu);
        int byte = -1;
        if (Oem == keymap::Oem866) {
            if (code >= 0x410 && code <= 0x43F) byte = static_cast<int>(code - 0x410 + 0x80);
            if (code >= 0x440 && code <= 0x44F) byte = static_cast<int>(code - 0x440 + 0xE0);
            if (code == 0x401) byte = 0xF0;  // Ё
            if (code == 0x451) byte = 0xF1;  // ё
        }
        if (byte < 0) {
            size_t end = i + 1;
            while (end < Text.size() && (static_cast<unsigned char>(Text[end]) & 0xC0) == 0x80)
                ++end;
            const size_t before = Text.rfind('\n', i);
            const size_t from = before == std::string::npos ? 0 : before + 1;
            const size_t to = Text.find('\n', i);
            Error = "\"" + Text.substr(i, end - i) + "\" is not in the code page, in: " +
                    Text.substr(from, to == std::string::npos ? to : to - from);
            return false;
        }
        Out += static_cast<char>(byte);
        i += 2;
    }
    return true;
}

bool ReadFile(const char* Path, std::string& Text) {
    std::ifstream in(Path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    Text = all.str();
    return true;
}

int Write(const std::string& Text, const char* Path) {
    if (!Path) {
        std::cout << Text;
        return std::cout ? 0 : 1;
    }
    std::ofstream out(Path, std::ios::binary);
    out << Text;
    if (!out) {
        std::cerr << "tarvik_keymap: cannot write " << Path << "\n";
        return 1;
    }
    return 0;
}

int Usage() {
    std::cerr << "usage: tarvik_keymap --md|--hlf [--lang eng|rus] [-o FILE] | --check FILE\n";
    return 2;
}

const TKeymapWords* FindLanguage(const char* Lang) {
    for (int i = 0; i < keymap::LanguageCount; ++i) {
        if (std::strcmp(keymap::Languages[i]->Lang, Lang) == 0) return keymap::Languages[i];
    }
    return nullptr;
}

// Prints Problems under Heading; true when there were any.
bool Report(const std::string& Heading, const std::vector<std::string>& Problems) {
    if (Problems.empty()) return false;
    std::cerr << "tarvik_keymap: " << Heading << ":\n";
    for (const std::string& problem : Problems) std::cerr << "  " << problem << "\n";
    return true;
}

// The --md or --hlf output in Words' language, after the checks that keep an
// incomplete or mixed-language key map out of the help files.
int WriteKeymap(bool Help, const TKeymapWords& Words, const char* Output) {
    if (Report("the " + std::string(Words.Name) + " words are incomplete", Gaps(Words))) return 1;
    if (!Help) return Write(Markdown(Words), Output);
    const std::string topic = HelpTopic(Words);
    if (Report("English words in the " + std::string(Words.Name) + " help topic",
               Leaks(Words, topic)))
        return 1;
    std::string oem, error;
    if (!ToOem(topic, Words.Oem, oem, error)) {
        std::cerr << "tarvik_keymap: the " << Words.Name << " help topic: " << error << "\n";
        return 1;
    }
    return Write(oem, Output);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* mode = argv[1];
    if (std::strcmp(mode, "--check") == 0) {
        if (argc != 3) return Usage();
        std::string current;
        if (!ReadFile(argv[2], current)) {
            std::cerr << "tarvik_keymap: cannot read " << argv[2] << "\n";
            return 1;
        }
        if (current != Markdown(*keymap::Languages[0])) {
            std::cerr << argv[2] << " is stale: the binding tables changed. Regenerate it with\n"
                      << "  cmake --build <build dir> --target keymap_doc\n";
            return 1;
        }
        return 0;
    }
    const bool help = std::strcmp(mode, "--hlf") == 0;
    if (!help && std::strcmp(mode, "--md") != 0) return Usage();
    const TKeymapWords* words = keymap::Languages[0];
    const char* output = nullptr;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--lang") == 0) {
            words = FindLanguage(argv[i + 1]);
            if (!words) return Usage();
        } else if (std::strcmp(argv[i], "-o") == 0) {
            output = argv[i + 1];
        } else {
            return Usage();
        }
    }
    if (argc % 2 != 0) return Usage();
    return WriteKeymap(help, *words, output);
}
