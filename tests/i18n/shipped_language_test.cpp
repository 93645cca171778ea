#include "i18n/language_file.h"
#include "i18n_fixture.h"

#include <set>

namespace {

// Every key the pages and the main window look up.
const std::set<std::string> program_keys = {
    "startup_warning", "main_warning1", "main_warning2", "back_warning", "quit_warning",
    "language_warning", "menu_help", "menu_exit",
    "home_text1", "home_text2", "home_text3",
    "drive_physical_drives", "volume_select",
    "btn_back", "btn_scan", "btn_refresh",
    "drive_size",
    "partition_number", "partition_fs", "partition_ss", "partition_es", "partition_text1",
    "partition_query", "partition_finished", "partition_failed", "btn_repair",
    "btn_start", "btn_stop",
    "volume_logical_drives", "local_disk", "recovery_free", "scan_nosel_warning",
    "recovery_name", "recovery_date1", "recovery_date2", "checkbox",
    "btn_pause", "btn_resume", "btn_recovery", "btn_save_result", "raw_progress",
    "recovery_reading", "recovery_total_files", "deep_scan_query", "recovery_check_warning",
    "recovery_same_volume_warning", "recovery_select",
};

struct shipped_language {
    QString name;
    const char* code;
};

const shipped_language shipped_languages[] = {
    {"English", "en"}, {"Deutsch", "de"}, {"Français", "fr"}, {"Español", "es"},
    {"简体中文", "cn"}, {"繁體中文", "hk"}, {"Italiano", "it"}, {"日本語", "jp"},
    {"Português", "pt"}, {"Nederlands", "nl"}, {"العربية", "ar"},
};

class shipped_language_file : public i18n_test {
protected:
    void SetUp() override
    {
        i18n_test::SetUp();
        std::filesystem::copy_file(ZORVANE_LANGUAGE_FILE, scratch_.file("language.ini"));
    }
};

TEST_F(shipped_language_file, offers_the_languages_in_order_english_first)
{
    ASSERT_EQ(load_language("English", false), 0);
    QStringList names;
    for (const shipped_language& l : shipped_languages)
        names.append(l.name);
    EXPECT_EQ(lang_names, names);
}

// Each section alone: a misspelt, missing or unreadable entry shows up here
// rather than as an English text in the middle of another language.
TEST_F(shipped_language_file, has_every_key_in_every_language)
{
    for (const shipped_language& l : shipped_languages) {
        SCOPED_TRACE(l.name.toStdString());
        lang_texts.clear();
        ASSERT_EQ(load_language(l.name, true), 0);
        EXPECT_EQ(lang_code(), l.code);
        std::set<std::string> keys;
        for (const auto& [key, text] : lang_texts) {
            keys.insert(key);
            EXPECT_FALSE(text.trimmed().isEmpty()) << key;
            EXPECT_FALSE(text.contains(u'\uFFFD')) << key << " is not UTF-8";
        }
        EXPECT_EQ(keys, program_keys);
    }
}

} // namespace
