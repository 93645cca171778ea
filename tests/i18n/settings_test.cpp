#include "i18n/settings.h"
#include "i18n_fixture.h"

#include <cstdlib>

namespace {

const char* const two_languages = "[English]\n"
                                  "btn_back=\"Back\"\n"
                                  "btn_scan=\"Scan\"\n"
                                  "[Deutsch]\n"
                                  "btn_back=\"Zur\xC3\xBC" "ck\"\n";

// The registry key lives in the scratch folder's "config", which does not
// exist until something creates the key.
class settings_test : public i18n_test {
protected:
    void SetUp() override
    {
        i18n_test::SetUp();
        setenv("XDG_CONFIG_HOME", scratch_.file("config").c_str(), 1);
        language.clear();
        recovery_folder.clear();
    }
    void TearDown() override
    {
        unsetenv("XDG_CONFIG_HOME");
        i18n_test::TearDown();
    }

    void write_registry(const std::string& text) const
    {
        std::filesystem::create_directory(scratch_.file("config"));
        write_file("config/Zorvane_Init.ini", text);
    }
    // The entries on disk, "key=value" lines under the [General] header.
    std::map<QString, QString> stored_settings() const
    {
        std::map<QString, QString> values;
        std::ifstream file(scratch_.file("Zorvane.ini"));
        std::string line;
        while (std::getline(file, line)) {
            const size_t equals = line.find('=');
            if (line != "[General]" && equals != std::string::npos)
                values[QString::fromStdString(line.substr(0, equals))] =
                    QString::fromStdString(line.substr(equals + 1));
        }
        return values;
    }
};

TEST_F(settings_test, first_run_without_anything_is_english_and_writes_no_file)
{
    write_language_file(two_languages);
    ASSERT_EQ(load_settings(), 0);

    EXPECT_EQ(language, "English");
    EXPECT_EQ(lang_text("btn_back"), "Back");
    EXPECT_FALSE(exists("Zorvane.ini"));
    // Reading the registry creates its key, empty.
    EXPECT_TRUE(exists("config/Zorvane_Init.ini"));
    EXPECT_EQ(std::filesystem::file_size(scratch_.file("config/Zorvane_Init.ini")), 0u);
}

struct registry_case {
    const char* key_file;
    const char* language; // none: falls back to English without a settings file
};

class registry_fallback : public settings_test,
                          public ::testing::WithParamInterface<registry_case> {};

TEST_P(registry_fallback, names_the_language_of_a_first_run)
{
    const registry_case& c = GetParam();
    write_registry(c.key_file);
    ASSERT_EQ(load_settings(), 0);
    if (!c.language) {
        EXPECT_EQ(language, "English");
        EXPECT_FALSE(exists("Zorvane.ini"));
        return;
    }
    EXPECT_EQ(language, c.language);
    EXPECT_EQ(stored_settings(), (std::map<QString, QString>{{"language", c.language}}));
}

INSTANTIATE_TEST_SUITE_P(, registry_fallback, ::testing::Values(
    registry_case{"language=1\n", "English"},
    registry_case{"[General]\nlanguage=2\n", "Deutsch"},
    registry_case{"language=3\n", "Español"},
    registry_case{"language=4\n", "Français"},
    registry_case{"language=5\n", "Italiano"},
    registry_case{"language=6\n", "日本語"},
    registry_case{"language=7\n", "简体中文"},
    registry_case{"language=8\n", "繁體中文"},
    registry_case{"language=9\n", "Nederlands"},
    registry_case{"language=10\n", "Português"},
    registry_case{"language=0\n", nullptr},
    registry_case{"language=11\n", nullptr},
    registry_case{"language=-2\n", nullptr},
    registry_case{"language=4294967298\n", nullptr},
    registry_case{"language=Deutsch\n", nullptr},
    registry_case{"other=2\n", nullptr},
    registry_case{"", nullptr}
));

TEST_F(settings_test, a_registry_that_cannot_be_created_falls_back_to_english)
{
    write_file("config", "a file where the folder should be");
    ASSERT_EQ(load_settings(), 0);
    EXPECT_EQ(language, "English");
    EXPECT_FALSE(exists("Zorvane.ini"));
}

TEST_F(settings_test, a_stored_language_is_loaded_and_the_registry_left_alone)
{
    write_language_file(two_languages);
    write_file("Zorvane.ini", "[General]\nlanguage=Deutsch\nrecovery_folder=/srv/found\n");
    ASSERT_EQ(load_settings(), 0);

    EXPECT_EQ(language, "Deutsch");
    EXPECT_EQ(recovery_folder, "/srv/found");
    EXPECT_EQ(lang_text("btn_back"), "Zurück");
    EXPECT_EQ(lang_text("btn_scan"), "Scan");
    EXPECT_EQ(lang_index, 1);
    EXPECT_FALSE(exists("config"));
}

TEST_F(settings_test, a_language_without_section_gets_english_with_the_first_section_current)
{
    write_language_file(std::string("[Deutsch]\n") + "btn_back=\"x\"\n" + two_languages);
    write_file("Zorvane.ini", "[General]\nlanguage=Klingon\n");
    ASSERT_EQ(load_settings(), 0);
    EXPECT_EQ(lang_text("btn_back"), "Back");
    EXPECT_EQ(lang_index, 0);
}

// A file without English: the chosen language alone, or nothing at all when
// none is chosen; its first section is then the current one.
TEST_F(settings_test, a_foreign_language_file_gives_only_the_chosen_texts)
{
    write_language_file("[Deutsch]\nbtn_back=\"Zur\xC3\xBC" "ck\"\n[Fran\xC3\xA7" "ais]\nbtn_back=\"Retour\"\n");
    write_file("Zorvane.ini", "[General]\nlanguage=Fran\xC3\xA7" "ais\n");
    ASSERT_EQ(load_settings(), 0);
    EXPECT_EQ(lang_texts, (std::map<std::string, QString>{{"btn_back", "Retour"}}));
    EXPECT_EQ(lang_code(), "fr");

    std::filesystem::remove(scratch_.file("Zorvane.ini"));
    lang_texts.clear();
    lang_index = 0;
    ASSERT_EQ(load_settings(), 0);
    EXPECT_EQ(language, "English");
    EXPECT_TRUE(lang_texts.empty());
    EXPECT_EQ(lang_code(), "de");
}

// What start-up meets when the language file is missing or holds no sections.
TEST_F(settings_test, start_up_without_a_usable_language_file_has_empty_texts)
{
    const char bytes[] = "\x00\xff[\n=\"\"\n\xef\xbb\xbf[English]\na=\"1\"";
    const std::string malformed(bytes, sizeof bytes - 1);
    for (const bool missing : {true, false}) {
        lang_texts.clear();
        if (!missing)
            write_language_file(malformed);
        ASSERT_EQ(load_settings(), 0);
        EXPECT_TRUE(lang_texts.empty());
        EXPECT_TRUE(lang_names.isEmpty());
        EXPECT_EQ(lang_code(), "en");
        EXPECT_TRUE(lang_text("btn_back").isEmpty());
    }
}

class saved_settings : public settings_test, public ::testing::WithParamInterface<const char*> {};

TEST_P(saved_settings, hold_both_keys_and_are_read_back_by_the_next_start)
{
    const std::string folder = GetParam();
    write_language_file("[English]\n[日本語]\nbtn_back=\"戻る\"\n");
    write_file("Zorvane.ini", "[General]\nlanguage=English\n"
                                  + (folder.empty() ? "" : "recovery_folder=" + folder + "\n"));
    ASSERT_EQ(load_settings(), 0);
    language = "日本語";
    ASSERT_EQ(save_settings(), 0);
    EXPECT_EQ(stored_settings(), (std::map<QString, QString>{
                                     {"language", "日本語"},
                                     {"recovery_folder", QString::fromStdString(folder)}}));

    ASSERT_EQ(load_settings(), 0);
    EXPECT_EQ(language, "日本語");
    EXPECT_EQ(lang_code(), "jp");
    EXPECT_EQ(lang_text("btn_back"), "戻る");
}

INSTANTIATE_TEST_SUITE_P(, saved_settings, ::testing::Values("", "/srv/found"));

} // namespace
