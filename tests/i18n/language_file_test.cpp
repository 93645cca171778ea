#include "i18n/language_file.h"
#include "i18n_fixture.h"

#include <cctype>
#include <map>

namespace {

using texts = std::map<std::string, QString>;

class language_file : public i18n_test {};

TEST_F(language_file, chosen_language_lies_over_english)
{
    write_language_file("[English]\n"
                        "btn_back=\"Back\"\n"
                        "btn_scan=\"Scan\"\n"
                        "[Deutsch]\n"
                        "btn_back=\"Zur\xC3\xBC" "ck\"\n");
    ASSERT_EQ(load_language("English", false), 0);
    ASSERT_EQ(load_language("Deutsch", true), 0);

    EXPECT_EQ(lang_texts, (texts{{"btn_back", "Zurück"}, {"btn_scan", "Scan"}}));
    EXPECT_EQ(lang_names, QStringList({"English", "Deutsch"}));
    EXPECT_EQ(lang_index, 1);
}

struct entry_case {
    const char* line;
    texts loaded;
};

class entry_lines : public i18n_test, public ::testing::WithParamInterface<entry_case> {};

TEST_P(entry_lines, store_what_the_expressions_take)
{
    const entry_case& c = GetParam();
    write_language_file(std::string("[English]\n") + c.line + "\n");
    ASSERT_EQ(load_language("English", true), 0);
    EXPECT_EQ(lang_texts, c.loaded);
}

INSTANTIATE_TEST_SUITE_P(, entry_lines, ::testing::Values(
    entry_case{R"(menu_help="Help")", {{"menu_help", "Help"}}},
    entry_case{R"(   menu_help="Help"   )", {{"menu_help", "Help"}}},
    entry_case{R"(menu_help  =  "Help")", {{"menu_help  ", "Help"}}},
    entry_case{R"(menu_help="")", {}},
    entry_case{R"(;menu_help="Help")", {}},
    entry_case{R"(menu_help=Help)", {}},
    entry_case{R"(recovery_free="  free of  ")", {{"recovery_free", "  free of  "}}},
    entry_case{R"(quoted="say "hi" now")", {{"quoted", "say \"hi\" now"}}},
    entry_case{R"(a="b"="c")", {{"a=\"b\"", "c"}}},
    entry_case{R"(tabs="a\tb\t")", {{"tabs", "a\tb\t"}}},
    entry_case{R"(lines="one\ntwo")", {{"lines", "one\ntwo"}}},
    entry_case{R"(other="a\\n\r\x")", {{"other", "a\\\n\\r\\x"}}},
    entry_case{"utf8=\"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\"", {{"utf8", "日本語"}}}
));

TEST_F(language_file, lookup_of_a_missing_key_keeps_it_empty)
{
    EXPECT_TRUE(lang_text("menu_exit").isEmpty());
    lang_text("menu_exit") = "Exit";
    EXPECT_EQ(lang_texts, (texts{{"menu_exit", "Exit"}}));
}

struct section_case {
    const char* what;
    std::string file;
    const char* requested;
    QStringList names;
    int index;
    texts loaded;
};

class section_rules : public i18n_test, public ::testing::WithParamInterface<section_case> {};

TEST_P(section_rules, decide_what_is_loaded)
{
    const section_case& c = GetParam();
    write_language_file(c.file);
    ASSERT_EQ(load_language(c.requested, true), 0);
    EXPECT_EQ(lang_names, c.names);
    EXPECT_EQ(lang_index, c.index);
    EXPECT_EQ(lang_texts, c.loaded);
}

INSTANTIATE_TEST_SUITE_P(, section_rules, ::testing::Values(
    section_case{"entries before the first header belong to no section",
                 "a=\"0\"\n[English]\nb=\"1\"\n", "English", {"English"}, 0, {{"b", "1"}}},
    section_case{"an adjacent section of the same name is not entered",
                 "[English]\na=\"1\"\n[English]\na=\"2\"\nb=\"2\"\n", "English",
                 {"English", "English"}, 0, {{"a", "1"}}},
    section_case{"a later section of the same name is entered again",
                 "[Deutsch]\na=\"1\"\n[English]\na=\"x\"\n[Deutsch]\nb=\"3\"\n", "Deutsch",
                 {"Deutsch", "English", "Deutsch"}, 2, {{"a", "1"}, {"b", "3"}}},
    section_case{"a byte-order mark hides the first header",
                 "\xEF\xBB\xBF[English]\na=\"1\"\n[Deutsch]\nb=\"2\"\n", "English",
                 {"Deutsch"}, 0, {}},
    section_case{"blanks around a header are allowed but count inside the brackets",
                 "  [English]  \na=\"1\"\n[ Deutsch ]\nb=\"2\"\n", "Deutsch",
                 {"English", " Deutsch "}, 0, {}},
    section_case{"the name runs to the last bracket",
                 "[Eng]lish]\na=\"1\"\n", "Eng]lish", {"Eng]lish"}, 0, {{"a", "1"}}},
    section_case{"names are compared exactly",
                 "[english]\na=\"1\"\n", "English", {"english"}, 0, {}},
    section_case{"CR LF line ends read as LF",
                 "[Deutsch]\r\n[English]\r\na=\"1\"\r\n\r\nb=\"2\" \r\n", "English",
                 {"Deutsch", "English"}, 1, {{"a", "1"}, {"b", "2"}}},
    section_case{"the requested language has no section",
                 "[English]\na=\"1\"\n[Deutsch]\n", "Klingon", {"English", "Deutsch"}, 0, {}}
), [](const auto& info) {
    std::string name = info.param.what;
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

// A line longer than 2047 bytes is read in pieces of 2047 bytes, each taken as
// a line of its own, whether lines end in LF or in CR LF.
TEST_F(language_file, long_lines_are_read_in_pieces)
{
    for (const std::string eol : {"\n", "\r\n"}) {
        lang_texts.clear();
        const std::string comment_then_entry = ";" + std::string(2046, 'x') + "key=\"v\"" + eol;
        const std::string full_piece = "full=\"" + std::string(2047 - 7, 'y') + "\"" + eol;
        write_language_file("[English]" + eol + comment_then_entry + full_piece);
        ASSERT_EQ(load_language("English", false), 0);
        EXPECT_EQ(lang_texts, (texts{{"key", "v"}, {"full", QString(2047 - 7, 'y')}}))
            << "line end " << (eol.size() == 1 ? "LF" : "CR LF");
    }
}

TEST_F(language_file, that_cannot_be_opened_changes_nothing)
{
    lang_texts = {{"a", "1"}};
    lang_names = {"English", "Deutsch"};
    lang_index = 1;

    EXPECT_EQ(load_language("English", true), -1);
    std::filesystem::create_directory(scratch_.file("language.ini"));
    EXPECT_EQ(load_language("English", true), -1);

    EXPECT_EQ(lang_texts, (texts{{"a", "1"}}));
    EXPECT_EQ(lang_names, QStringList({"English", "Deutsch"}));
    EXPECT_EQ(lang_index, 1);
}

TEST_F(language_file, every_load_rebuilds_the_names)
{
    write_language_file("[English]\n[Deutsch]\n");
    ASSERT_EQ(load_language("English", false), 0);
    write_language_file("[Italiano]\n");
    ASSERT_EQ(load_language("Italiano", true), 0);
    EXPECT_EQ(lang_names, QStringList({"Italiano"}));
    EXPECT_EQ(lang_index, 0);
}

} // namespace
