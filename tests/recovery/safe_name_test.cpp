#include "recovery/safe_name.h"

#include <gtest/gtest.h>

#include <QFileInfo>

namespace {

TEST(SafeFileName, ReplacesWhatCouldLeaveTheFolder)
{
    const struct {
        QString name, expected;
    } cases[] = {
        {"report.doc", "report.doc"},
        {"#PORT.DOC", "#PORT.DOC"},
        {"..", "__"},
        {".", "_"},
        {"", "_"},
        {"../../etc/passwd", ".._.._etc_passwd"},
        {"..\\..\\boot.ini", ".._.._boot.ini"},
        {"/abs", "_abs"},
        {QString("a") + QChar(0) + "b\n\x1f" + QChar(0x7f) + QChar(0x9b), "a_b____"},
        {"...", "..."},
        {"?.txt", "?.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(safe_file_name(c.name), c.expected) << c.name.toStdString();
}

TEST(SafeFileName, ShortensLongNamesBeforeTheirExtension)
{
    const QString cjk(300, QChar(0x4E2D)); // three UTF-8 bytes each
    const QString shortened = safe_file_name(cjk + ".jpg");
    EXPECT_LE(shortened.toUtf8().size(), 255);
    EXPECT_TRUE(shortened.endsWith(".jpg"));
    EXPECT_EQ(shortened.size(), 83 + 4);

    QString emoji;
    for (int i = 0; i < 100; ++i)
        emoji += QString::fromUcs4(U"\U0001F600", 1);
    const QString cut = safe_file_name(emoji);
    EXPECT_EQ(cut.toUtf8().size(), 252) << "whole characters only";
    EXPECT_FALSE(cut.back().isHighSurrogate());
}

TEST(DestinationPath, StaysInTheFolder)
{
    const QDir folder("/tmp/out");
    for (const QString& name : {QString(".."), QString("../x"), QString("/etc/x"), QString("a\\b"),
                                QString("")}) {
        const QFileInfo info(destination_path(folder, name));
        EXPECT_EQ(info.absolutePath(), "/tmp/out") << name.toStdString();
    }
}

} // namespace
