// tarvik_keymap: writes the key map from the binding tables themselves, so the
// documentation cannot drift from the code.
//
//   tarvik_keymap --md [-o FILE]    the Markdown key map (docs/keymap.md)
//   tarvik_keymap --hlf [-o FILE]   the same as a topic for the host's help files (OEM text)
//   tarvik_keymap --check FILE      exit 1 when FILE differs from what --md writes
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "keys/bindings.h"

namespace {

using tarvik::KeyTables;
using tarvik::TBinding;
using tarvik::TKeyTable;
using tarvik::TKeyTableId;

std::string KeyOf(TKeyTableId Table, const TBinding& Row) {
    char buffer[64];
    tarvik::FormatBindingKey(Table, Row, buffer, sizeof buffer);
    return buffer;
}

const char* ShiftText(const TBinding& Row) {
    switch (Row.Shift) {
        case tarvik::ShiftUp:
            return "up";
        case tarvik::ShiftDown:
            return "down";
        default:
            return "either";
    }
}

const char* StepsText(const TBinding& Row) {
    switch (Row.Steps) {
        case tarvik::StepsFull:
            return "full";
        case tarvik::StepsNoRedraw:
            return "full, no redraw";
        case tarvik::StepsPrefix:
            return "prefix";
        case tarvik::StepsDecides:
            return "command decides";
        case tarvik::StepsNoHook:
            return "full, not recorded";
        case tarvik::StepsOwn:
            return "own";
        case tarvik::StepsPassOn:
            return "passed on";
    }
    return "?";
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

bool IsPrefixTable(const TKeyTable& Table) {
    return Table.Id == tarvik::TableCtrlK || Table.Id == tarvik::TableCtrlQ;
}

std::string Markdown() {
    std::ostringstream md;
    md << "# Tarvik key map\n\n"
       << "<!-- Written by tarvik_keymap from the binding tables in src/keys/bindings.cpp;\n"
       << "     regenerate with `cmake --build <build dir> --target keymap_doc`. -->\n\n"
       << "Keys are matched by the key (its virtual-key code), never by the character it\n"
       << "types. The bindings are active only in editor windows where Tarvik is on.\n"
       << "Alt is Left or Right Alt, Ctrl is Left or Right Ctrl. After Ctrl+K or Ctrl+Q the\n"
       << "second key may be typed with or without Ctrl and Shift; with Alt it goes to the\n"
       << "editor and ends the prefix. Digits are those of the main keyboard.\n\n"
       << "Steps: *full* = the key's repeat count is expanded, the key is recorded while\n"
       << "recording, the command runs, the editor is redrawn and the key is used up;\n"
       << "*full, no redraw* = the same without the redraw; *full, not recorded* = the same\n"
       << "without recording; *prefix* = the prefix waits for the second key; *command\n"
       << "decides* = the command may hand the key on to the editor; *own* = the command\n"
       << "runs its own steps; *passed on* = the key is recorded and goes on to the editor.\n";
    for (const TKeyTable& table : KeyTables) {
        md << "\n## " << table.Title << "\n\n";
        if (table.Count == 0) {
            md << "No bindings: every key goes to the editor.\n";
            continue;
        }
        md << "| Key | Shift | Command | Steps | Action |\n|---|---|---|---|---|\n";
        for (int i = 0; i < table.Count; ++i) {
            const TBinding& row = table.Rows[i];
            md << "| " << KeyOf(table.Id, row) << " | " << ShiftText(row) << " | `" << row.Name
               << "` | " << StepsText(row) << " | " << row.Description << " |\n";
        }
        md << "\n";
        if (IsPrefixTable(table)) {
            md << "Not bound after " << (table.Id == tarvik::TableCtrlK ? "Ctrl+K" : "Ctrl+Q")
               << ": " << UnboundLettersAndDigits(table)
               << " and every other key; they go to the editor and end the prefix.\n";
        } else {
            md << "Every other key goes to the editor.\n";
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

std::string HelpTopic() {
    std::ostringstream hlf;
    hlf << "@KeyMap\n"
        << "$ #Key map#\n"
        << " Keys are matched by the key, never by the character it types. After\n"
        << "#Ctrl+K# or #Ctrl+Q# the second key may be typed with or without Ctrl and\n"
        << "Shift; with Alt it goes to the editor. Digits are those of the main keyboard.\n";
    for (const TKeyTable& table : KeyTables) {
        hlf << "\n #" << HelpEscaped(table.Title) << "#\n\n";
        if (table.Count == 0) {
            hlf << "   No bindings: every key goes to the editor.\n";
            continue;
        }
        for (int i = 0; i < table.Count; ++i) {
            const TBinding& row = table.Rows[i];
            hlf << "   " << Padded(HelpEscaped(KeyOf(table.Id, row)), 16)
                << HelpEscaped(row.Description) << "\n";
        }
        if (IsPrefixTable(table)) {
            hlf << "\n   Not bound: " << UnboundLettersAndDigits(table) << ".\n";
        }
    }
    return hlf.str();
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
    std::cerr << "usage: tarvik_keymap --md [-o FILE] | --hlf [-o FILE] | --check FILE\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* mode = argv[1];
    const char* output = nullptr;
    if (argc == 4 && std::strcmp(argv[2], "-o") == 0) {
        output = argv[3];
    } else if (argc != 2 && std::strcmp(mode, "--check") != 0) {
        return Usage();
    }
    if (std::strcmp(mode, "--md") == 0) return Write(Markdown(), output);
    if (std::strcmp(mode, "--hlf") == 0) return Write(HelpTopic(), output);
    if (std::strcmp(mode, "--check") == 0 && argc == 3) {
        std::string current;
        if (!ReadFile(argv[2], current)) {
            std::cerr << "tarvik_keymap: cannot read " << argv[2] << "\n";
            return 1;
        }
        if (current != Markdown()) {
            std::cerr << argv[2] << " is stale: the binding tables changed. Regenerate it with\n"
                      << "  cmake --build <build dir> --target keymap_doc\n";
            return 1;
        }
        return 0;
    }
    return Usage();
}
