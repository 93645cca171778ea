#include "i18n/lang_image.h"
#include "i18n_fixture.h"

namespace {

struct code_case {
    QString name;
    const char* code;
};

class language_codes : public i18n_test, public ::testing::WithParamInterface<code_case> {};

TEST_P(language_codes, follow_the_current_name_without_regard_to_case)
{
    lang_names = {"English", GetParam().name};
    lang_index = 1;
    EXPECT_EQ(lang_code(), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(, language_codes, ::testing::Values(
    code_case{"Deutsch", "de"}, code_case{"deutsch", "de"},
    code_case{"Français", "fr"}, code_case{"FRANÇAIS", "fr"},
    code_case{"Español", "es"}, code_case{"español", "es"},
    code_case{"简体中文", "cn"}, code_case{"繁體中文", "hk"},
    code_case{"Italiano", "it"}, code_case{"日本語", "jp"},
    code_case{"Português", "pt"}, code_case{"PORTUGUÊS", "pt"},
    code_case{"Nederlands", "nl"}, code_case{"العربية", "ar"},
    code_case{"English", "en"}, code_case{"Deutsch ", "en"},
    code_case{"Klingon", "en"}, code_case{"", "en"}
));

class language_table : public i18n_test {};

// No file, or a file without sections, leaves no current language.
TEST_F(language_table, without_a_current_language_the_code_is_english)
{
    EXPECT_EQ(lang_code(), "en");
    lang_names = {"Deutsch"};
    lang_index = 1;
    EXPECT_EQ(lang_code(), "en");
}

// The test's resources hold a folder for "de" only.
TEST_F(language_table, button_images_come_from_the_language_folder_or_the_english_one)
{
    lang_names = {"English", "Deutsch", "Português"};
    lang_index = 1;
    EXPECT_EQ(lang_image::top_button(2, 3), ":/images/multilang/de/btn_top23.png");
    EXPECT_EQ(lang_image::start_scan(1), "/images/multilang/de/btn_start_scan1.png");
    EXPECT_EQ(lang_image::resume_recovery(2), "/images/multilang/de/btn_resume_recovery2.png");

    lang_index = 2;
    EXPECT_EQ(lang_image::top_button(1, 1), ":/images/multilang/en/btn_top11.png");
    EXPECT_EQ(lang_image::start_scan(3), "/images/multilang/en/btn_start_scan3.png");
    EXPECT_EQ(lang_image::resume_recovery(1), "/images/multilang/en/btn_resume_recovery1.png");
}

} // namespace
