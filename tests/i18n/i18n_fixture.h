// Each test runs in a scratch folder of its own, which is the current
// directory the language and settings files are read from, with an empty
// language table.
#pragma once

#include "i18n/language_table.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

class i18n_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(scratch_.path());
        lang_texts.clear();
        lang_names.clear();
        lang_index = 0;
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    void write_file(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(scratch_.file(name), std::ios::binary) << bytes;
    }
    void write_language_file(const std::string& bytes) const { write_file("language.ini", bytes); }
    bool exists(const std::string& name) const { return std::filesystem::exists(scratch_.file(name)); }

    test_support::scratch_dir scratch_;

private:
    std::filesystem::path previous_;
};
