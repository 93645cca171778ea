#include "shell_fixture.h"

#include "i18n/settings.h"
#include "shell/main_window.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include <sys/stat.h>

using namespace shell_test;

namespace {

QImage image_of(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void write_text(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The window as it comes up from whatever files lie in the current folder.
TEST(start_up, settings_and_language_file_decide_the_window_texts)
{
    const struct {
        const char* name;
        std::optional<std::string> language_file; // none: the shipped one
        bool has_language_file;
        std::optional<std::string> settings_file;
        QString help;
        QString exit;
        QString first_language_listed;
        int languages;
        const char* button_folder;
    } rows[] = {
        {"no settings file", std::nullopt, true, std::nullopt, "Help", "Exit", "العربية", 11, "en"},
        {"German setting", std::nullopt, true, "[General]\nlanguage=Deutsch\n", "Hilfe", "Beenden", "العربية", 11, "de"},
        {"Japanese setting", std::nullopt, true, "[General]\nlanguage=日本語\n", "ヘルプ", "終了", "العربية", 11, "jp"},
        {"unknown language setting", std::nullopt, true, "[General]\nlanguage=Klingon\n", "Help", "Exit", "العربية",
         11, "en"},
        {"malformed settings file", std::nullopt, true, std::string("\x01\xff[[[=\n=\n", 9), "Help", "Exit",
         "العربية", 11, "en"},
        {"no language file", std::nullopt, false, std::nullopt, "", "", "", 0, "en"},
        {"malformed language file", std::string("[English\nmenu_help=\"Help\nmenu_exit=Exit\"\n\x00\xff[", 46), true,
         std::nullopt, "", "", "", 0, "en"},
        {"only a German section, German setting", "[Deutsch]\nmenu_help=\"Hilfe\"\nmenu_exit=\"Beenden\"\n", true,
         "[General]\nlanguage=Deutsch\n", "Hilfe", "Beenden", "Deutsch", 1, "de"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        test_support::scratch_dir folder;
        std::filesystem::current_path(folder.path());
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.path().string()));
        if (r.has_language_file) {
            if (r.language_file)
                write_text(folder.file("language.ini"), *r.language_file);
            else
                std::filesystem::copy_file(ZORVANE_LANGUAGE_FILE, folder.file("language.ini"));
        }
        if (r.settings_file)
            write_text(folder.file("Zorvane.ini"), *r.settings_file);
        lang_texts.clear();
        lang_names.clear();
        lang_index = 0;

        load_settings();
        main_window_c window;

        const QList<QAction*> actions = window.popup_menu()->actions();
        ASSERT_EQ(actions.size(), 5);
        EXPECT_EQ(actions[2]->text(), r.help);
        EXPECT_EQ(actions[4]->text(), r.exit);
        const QList<QAction*> languages = actions[0]->menu()->actions();
        EXPECT_EQ(languages.size(), r.languages);
        if (!languages.empty()) {
            EXPECT_EQ(languages[0]->text(), r.first_language_listed);
        }
        const QString expected_button =
            QStringLiteral(":/images/multilang/%1/btn_top11.png").arg(QLatin1String(r.button_folder));
        EXPECT_EQ(image_of(window.title_buttons()[0]->pixmaps[0]), image_of(QPixmap(expected_button)));
        std::filesystem::current_path("/");
    }
}

TEST(start_up, help_page_ships_beside_the_program)
{
    const std::filesystem::path program(ZORVANE_PROGRAM);
    EXPECT_TRUE(std::filesystem::is_regular_file(program.parent_path() / "help" / "index.html"));
    EXPECT_TRUE(std::filesystem::is_regular_file(program.parent_path() / "language.ini"));
}

// Whether process `pid` holds an flock on `path`, as the kernel lists it.
bool holds_lock(qint64 pid, const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    const std::string inode = ":" + std::to_string(info.st_ino) + " ";
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);)
        if (line.find("FLOCK") != std::string::npos && line.find(" " + std::to_string(pid) + " ") != std::string::npos
            && line.find(inode) != std::string::npos)
            return true;
    return false;
}

TEST(start_up, a_second_instance_exits_at_once_with_minus_one)
{
    test_support::scratch_dir folder;
    ::chmod(folder.path().c_str(), 0700);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(folder.path().string()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder.path().string()));
    // No real disk: the only disk is an image that does not exist.
    environment.insert("ZORVANE_DISKS", QString::fromStdString(folder.file("none.img")));

    auto start = [&](QProcess& process) {
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(QString::fromStdString(folder.path().string()));
        process.start(ZORVANE_PROGRAM, {});
        return process.waitForStarted();
    };
    QProcess first;
    ASSERT_TRUE(start(first));
    ASSERT_TRUE(wait_until([&] { return holds_lock(first.processId(), folder.file("Zorvane.lock")); }));

    QProcess second;
    ASSERT_TRUE(start(second));
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 255);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(20000);
}

} // namespace
