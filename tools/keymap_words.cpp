#include "keymap_words.h"

namespace keymap {

static_assert(tarvik::ShiftDown + 1 == 3, "ShiftWords has one word per TShiftRule");
static_assert(tarvik::StepsPassOn + 1 == 7, "StepsWords has one word per TSteps");

namespace {

template <typename T, int N>
constexpr int CountOf(const T (&)[N]) {
    return N;
}

// ============================================================================
// English
// ============================================================================

const TKeyWord EnglishKeys[] = {
    {VK_CONTROL, "Ctrl"}, {VK_SHIFT, "Shift"},  {VK_MENU, "Alt"},   {VK_BACK, "Backspace"},
    {VK_TAB, "Tab"},      {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_DELETE, "Del"},   {VK_INSERT, "Ins"},
};

const TKeymapWords English = {
    "eng",
    "English",
    OemAscii,

    "Tarvik key map",
    "Written by tarvik_keymap from the binding tables in src/keys/bindings.cpp;\n"
    "     regenerate with `cmake --build <build dir> --target keymap_doc`.",
    "Keys are matched by the key (its virtual-key code), never by the character it\n"
    "types. The bindings are active only in editor windows where Tarvik is on.\n"
    "Alt is Left or Right Alt, Ctrl is Left or Right Ctrl. After Ctrl+K or Ctrl+Q the\n"
    "second key may be typed with or without Ctrl and Shift; with Alt it goes to the\n"
    "editor and ends the prefix. Digits are those of the main keyboard.\n"
    "\n"
    "Steps: *full* = the key's repeat count is expanded, the key is recorded while\n"
    "recording, the command runs, the editor is redrawn and the key is used up;\n"
    "*full, no redraw* = the same without the redraw; *full, not recorded* = the same\n"
    "without recording; *prefix* = the prefix waits for the second key; *command\n"
    "decides* = the command may hand the key on to the editor; *own* = the command\n"
    "runs its own steps; *passed on* = the key is recorded and goes on to the editor.\n",
    "| Key | Shift | Command | Steps | Action |",
    "Not bound after %1: %2 and every other key; they go to the editor and end the prefix.",
    "Every other key goes to the editor.",
    {"either", "up", "down"},
    {"full", "full, no redraw", "prefix", "command decides", "full, not recorded", "own",
     "passed on"},
    "No bindings: every key goes to the editor.",

    "Key map",
    " Keys are matched by the key, never by the character it types. After\n"
    "#Ctrl+K# or #Ctrl+Q# the second key may be typed with or without Ctrl and\n"
    "Shift; with Alt it goes to the editor. Digits are those of the main keyboard.\n",
    "Not bound: %1.",

    EnglishKeys,
    CountOf(EnglishKeys),
    nullptr,
    0,
};

// ============================================================================
// Russian. Key names stay as the keys are labelled. The help topic is written
// in code page 866, which has no dashes or typographic quotes: it uses " - ".
// ============================================================================

const TKeyWord RussianKeys[] = {
    {VK_CONTROL, "Ctrl"}, {VK_SHIFT, "Shift"},  {VK_MENU, "Alt"},   {VK_BACK, "Backspace"},
    {VK_TAB, "Tab"},      {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_DELETE, "Del"},   {VK_INSERT, "Ins"},
};

const TTranslation RussianTranslations[] = {
    // Table titles
    {"No prefix, neither Alt nor Ctrl", "Без префикса, Alt и Ctrl не нажаты"},
    {"No prefix, Alt down: every key goes to the host",
     "Без префикса, Alt нажат: все клавиши получает редактор"},
    {"No prefix, Ctrl down", "Без префикса, Ctrl нажат"},
    {"After Ctrl+K", "После Ctrl+K"},
    {"After Ctrl+Q", "После Ctrl+Q"},
    // Single keys
    {"Unindent to the indentation of an earlier line",
     "Уменьшить отступ до уровня одной из строк выше"},
    {"Indent to the next word start of the line above",
     "Сделать отступ до начала следующего слова строки выше"},
    {"Break the line and keep its indentation", "Разбить строку, сохранив её отступ"},
    {"The host's search; later repeats repeat it",
     "Встроенный поиск; клавиши повтора затем повторяют его"},
    {"Repeat the last search", "Повторить последний поиск"},
    {"Delete the block", "Удалить блок"},
    {"Block, bookmark and file commands follow", "Префикс команд блока, закладок и файла"},
    {"Replay the recorded keys", "Воспроизвести записанные клавиши"},
    {"Movement, bookmark and host commands follow",
     "Префикс команд перемещения, закладок и встроенных команд"},
    {"Start or stop recording keys", "Начать или остановить запись клавиш"},
    {"Search as you type", "Поиск по мере набора"},
    {"The host's replace; later repeats repeat its search",
     "Встроенная замена; клавиши повтора затем повторяют её поиск"},
    // After Ctrl+K
    {"Set bookmark 0", "Поставить закладку 0"},
    {"Set bookmark 1", "Поставить закладку 1"},
    {"Set bookmark 2", "Поставить закладку 2"},
    {"Set bookmark 3", "Поставить закладку 3"},
    {"Set bookmark 4", "Поставить закладку 4"},
    {"Set bookmark 5", "Поставить закладку 5"},
    {"Set bookmark 6", "Поставить закладку 6"},
    {"Set bookmark 7", "Поставить закладку 7"},
    {"Set bookmark 8", "Поставить закладку 8"},
    {"Set bookmark 9", "Поставить закладку 9"},
    {"Mark the block begin", "Отметить начало блока"},
    {"Copy the block to the cursor", "Копировать блок в позицию курсора"},
    {"Word to lower case", "Слово в нижний регистр"},
    {"Word to upper case", "Слово в верхний регистр"},
    {"Hide the block", "Скрыть блок"},
    {"Indent the block by one blank", "Сдвинуть блок вправо на один пробел"},
    {"Mark the block end", "Отметить конец блока"},
    {"Mark the cursor line", "Отметить текущую строку"},
    {"Block to upper case", "Блок в верхний регистр"},
    {"Block to lower case", "Блок в нижний регистр"},
    {"Toggle the case of the block", "Инвертировать регистр блока"},
    {"Save the file", "Сохранить файл"},
    {"Mark the word at the cursor", "Отметить слово под курсором"},
    {"Unindent the block by one blank", "Сдвинуть блок влево на один пробел"},
    {"Move the block to the cursor", "Переместить блок в позицию курсора"},
    // After Ctrl+Q
    {"Go to bookmark 0", "Перейти к закладке 0"},
    {"Go to bookmark 1", "Перейти к закладке 1"},
    {"Go to bookmark 2", "Перейти к закладке 2"},
    {"Go to bookmark 3", "Перейти к закладке 3"},
    {"Go to bookmark 4", "Перейти к закладке 4"},
    {"Go to bookmark 5", "Перейти к закладке 5"},
    {"Go to bookmark 6", "Перейти к закладке 6"},
    {"Go to bookmark 7", "Перейти к закладке 7"},
    {"Go to bookmark 8", "Перейти к закладке 8"},
    {"Go to bookmark 9", "Перейти к закладке 9"},
    {"The host's replace (Ctrl+F7)", "Встроенная замена (Ctrl+F7)"},
    {"Go to the block begin", "Перейти к началу блока"},
    {"Go to the file end", "Перейти в конец файла"},
    {"Go to the line end", "Перейти в конец строки"},
    {"Go to the window's top line", "Перейти на верхнюю строку окна"},
    {"The host's search (F7)", "Встроенный поиск (F7)"},
    {"Go to the block end", "Перейти к концу блока"},
    {"Go to the file start", "Перейти в начало файла"},
    {"Go to the line start", "Перейти в начало строки"},
    {"Scroll the cursor line to the window's top", "Прокрутить текущую строку к верху окна"},
    {"Scroll the cursor line to the window's bottom", "Прокрутить текущую строку к низу окна"},
    {"Go to the window's bottom line", "Перейти на нижнюю строку окна"},
    {"Delete to the line end", "Удалить до конца строки"},
    {"Go to the matching closing bracket", "Перейти к парной закрывающей скобке"},
    {"Go to the matching opening bracket", "Перейти к парной открывающей скобке"},
};

const TKeymapWords Russian = {
    "rus",
    "Russian",
    Oem866,

    "Клавиши Tarvik",
    "Создан командой tarvik_keymap --md --lang rus из таблиц клавиш в\n"
    "     src/keys/bindings.cpp.",
    "Клавиши узнаются по самой клавише (её виртуальному коду), а не по символу,\n"
    "который она вводит. Назначения действуют только в окнах редактора, где\n"
    "клавиши Tarvik включены. Alt - левый или правый Alt, Ctrl - левый или правый\n"
    "Ctrl. После Ctrl+K или Ctrl+Q вторую клавишу можно нажимать с Ctrl и Shift или\n"
    "без них; с Alt она уходит в редактор и отменяет префикс. Цифры набираются на\n"
    "основной клавиатуре.\n"
    "\n"
    "Шаги: *полный* = число повторов клавиши разворачивается в отдельные нажатия,\n"
    "при записи клавиша записывается, команда выполняется, редактор\n"
    "перерисовывается, и клавиша дальше не идёт; *полный, без перерисовки* = то же\n"
    "без перерисовки; *полный, без записи* = то же без записи; *префикс* = префикс\n"
    "ждёт вторую клавишу; *решает команда* = команда может передать клавишу\n"
    "редактору; *свои* = команда сама выполняет свои шаги; *передаётся* = клавиша\n"
    "записывается и уходит в редактор.\n",
    "| Клавиша | Shift | Команда | Шаги | Действие |",
    "Не назначены после %1: %2 и все прочие клавиши; они уходят в редактор и отменяют "
    "префикс.",
    "Все прочие клавиши уходят в редактор.",
    {"любой", "отпущен", "нажат"},
    {"полный", "полный, без перерисовки", "префикс", "решает команда", "полный, без записи", "свои",
     "передаётся"},
    "Назначений нет: все клавиши уходят в редактор.",

    "Клавиши",
    " Клавиши узнаются по самой клавише, а не по символу, который она вводит.\n"
    "После #Ctrl+K# или #Ctrl+Q# вторую клавишу можно нажимать с Ctrl и Shift или\n"
    "без них; с Alt она уходит в редактор. Цифры набираются на основной клавиатуре.\n",
    "Не назначены: %1.",

    RussianKeys,
    CountOf(RussianKeys),
    RussianTranslations,
    CountOf(RussianTranslations),
};

}  // namespace

const TKeymapWords* const Languages[] = {&English, &Russian};
const int LanguageCount = CountOf(Languages);

}  // namespace keymap
