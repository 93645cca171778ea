#include "partition/mbr_boot_code.h"
#include "partition/partition_repair.h"

#include "disk_fixtures.h"
#include "test_support.h"

#include <QDeadlineTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>

namespace {

using test_support::scratch_dir;

TEST(MbrBootCode, IsTheAssembledSource)
{
    if (!test_support::have_program("nasm"))
        GTEST_SKIP() << "needs nasm";
    scratch_dir dir;
    const std::string out = dir.file("boot.bin");
    ASSERT_EQ(test_support::run("nasm -f bin -o '" + out + "' '" ZORVANE_PARTITION_SOURCE
                                "/mbr_boot_code.asm'"),
              0);
    const bytes assembled = test_support::read_file(out);
    EXPECT_EQ(assembled, bytes(mbr_boot_code.begin(), mbr_boot_code.end()));
}

TEST(MbrBootCode, DoesNotLookLikeAFileSystemAndLocatesItsMessages)
{
    EXPECT_FALSE(mbr_boot_code[0] == 0xEB && mbr_boot_code[2] == 0x90);
    EXPECT_NE(mbr_boot_code[0], 0xE9);
    // The last three bytes hold each message's address (loaded at 0x0600) less 0x0700.
    const char* messages[] = {"Invalid partition table", "Error loading operating system",
                              "Missing operating system"};
    for (int i = 0; i < 3; ++i) {
        const size_t at = 0x100 + mbr_boot_code[437 + i];
        ASSERT_LT(at + std::strlen(messages[i]), mbr_boot_code_bytes);
        EXPECT_STREQ(reinterpret_cast<const char*>(mbr_boot_code.data() + at), messages[i]);
    }
}

constexpr uint64_t boot_partition = 2048;

// A partition boot sector of our own, found by the search as NTFS. Reached, it
// checks what the loader hands over (DL = 80h, DS:SI = its active slot at
// first sector 2048) and says so on COM1.
bytes reporting_boot_sector(uint64_t total_sectors_field)
{
    bytes s = ntfs_boot_sector(total_sectors_field);
    const uint8_t code[] = {
        0xbb, 0x9a, 0x7c,                         // mov bx, slot_wrong
        0x80, 0xfa, 0x80,                         // cmp dl, 80h
        0x75, 0x12,                               // jne print
        0x80, 0x3c, 0x80,                         // cmp byte [si], 80h
        0x75, 0x0d,                               // jne print
        0x66, 0x81, 0x7c, 0x08, 0x00, 0x08, 0x00, 0x00, // cmp dword [si+8], 2048
        0x75, 0x03,                               // jne print
        0xbb, 0x7f, 0x7c,                         // mov bx, slot_ok
        0xba, 0xf8, 0x03,                         // print: mov dx, 3F8h
        0x8a, 0x07,                               // next: mov al, [bx]
        0x84, 0xc0,                               // test al, al
        0x74, 0x04,                               // jz halt
        0xee,                                     // out dx, al
        0x43,                                     // inc bx
        0xeb, 0xf6,                               // jmp next
        0xfa, 0xf4, 0xeb, 0xfc,                   // halt: cli, hlt, jmp halt
    };
    std::memcpy(s.data() + 0x54, code, sizeof code);
    std::strcpy(reinterpret_cast<char*>(s.data()) + 0x7f, "partition reached, slot ok");
    std::strcpy(reinterpret_cast<char*>(s.data()) + 0x9a, "partition reached, slot wrong");
    return s;
}

// Boots the image and returns what reached COM1 once `expected` shows up, or
// all of it after a bounded wait. SeaBIOS's serial console (enabled through
// fw_cfg) copies the BIOS teletype output there, so the loader's own INT 10h
// messages arrive on the same stream as the test boot sector's port writes.
std::string boot(const std::string& image, const std::string& expected, const scratch_dir& dir)
{
    const std::string sercon = dir.file("sercon-port");
    write_file(sercon, {0xF8, 0x03, 0, 0, 0, 0, 0, 0}); // COM1 at 3F8h
    QProcess qemu;
    qemu.setProcessChannelMode(QProcess::MergedChannels);
    qemu.start(QStringLiteral("qemu-system-i386"),
               {"-display", "none", "-vga", "none", "-monitor", "none", "-serial", "stdio",
                "-m", "16", "-no-reboot", "-fw_cfg",
                QString::fromStdString("name=etc/sercon-port,file=" + sercon), "-drive",
                QString::fromStdString("file=" + image + ",format=raw,if=ide,snapshot=on")});
    std::string seen;
    QDeadlineTimer deadline(120000); // software emulation on a loaded machine is slow
    while (qemu.state() != QProcess::NotRunning && seen.find(expected) == std::string::npos &&
           !deadline.hasExpired()) {
        qemu.waitForReadyRead(200);
        seen += qemu.readAll().toStdString();
    }
    qemu.kill();
    qemu.waitForFinished();
    return seen + qemu.readAll().toStdString();
}

// Our loader with its test of the INT 13h extensions' answer (test cl, 1)
// made to fail, so that it reads the boot sector through CHS.
void force_chs_reads(const std::string& image)
{
    bytes code = test_support::read_bytes(image, 0, mbr_boot_code_bytes);
    const uint8_t test_cl_1[] = {0xF6, 0xC1, 0x01};
    auto at = std::search(code.begin(), code.end(), std::begin(test_cl_1), std::end(test_cl_1));
    ASSERT_NE(at, code.end());
    ASSERT_EQ(std::search(at + 1, code.end(), std::begin(test_cl_1), std::end(test_cl_1)), code.end());
    test_support::write_bytes(image, uint64_t(at - code.begin()) + 2, {0x00});
}

struct boot_case {
    const char* name;
    uint64_t disk_sectors;
    std::vector<placed_sector> placed;
    uint8_t old_slot_1_status;
    uint64_t cut_to_sectors; // the disk as the BIOS sees it after the repair; 0: whole
    bool break_boot_sector;
    bool chs_reads;
    const char* expected;
};

TEST(BootLoader, BootsTheActivePartitionOrSaysWhyNot)
{
    if (!test_support::have_program("qemu-system-i386"))
        GTEST_SKIP() << "needs qemu-system-i386";
    const uint64_t small = 16384;
    // Beyond 4 GiB the BIOS translates to 255 heads and 63 sectors per track,
    // the geometry the platform reports and the table's CHS fields use.
    const uint64_t large = uint64_t(8) << 21;
    const std::vector<placed_sector> one = {{boot_partition, reporting_boot_sector(4095)}};
    std::vector<placed_sector> two = one;
    two.push_back({8192, ntfs_boot_sector(4095)});
    const std::vector<placed_sector> to_the_end = {
        {boot_partition, reporting_boot_sector(large - boot_partition - 1)}};
    const boot_case cases[] = {
        {"active partition", small, one, 0, 0, false, false, "partition reached, slot ok"},
        {"active partition through CHS", large, to_the_end, 0, 0, false, true,
         "partition reached, slot ok"},
        {"no active slot", small, {}, 0, 0, false, false, "Missing operating system"},
        {"old table marked a second slot active", small, two, 0x80, 0, false, false,
         "Invalid partition table"},
        {"partition beyond the disk", small, one, 0, boot_partition, false, false,
         "Error loading operating system"},
        {"boot sector without 55 AA", small, one, 0, 0, true, false, "Missing operating system"},
    };
    for (const boot_case& c : cases) {
        scratch_dir dir;
        const std::string image = dir.file("disk.img");
        make_image(image, c.disk_sectors, c.placed);
        if (c.old_slot_1_status)
            test_support::write_bytes(image, 446 + 16, {c.old_slot_1_status});

        partition_repair_c worker;
        ASSERT_EQ(worker.set_drive(only_disk(image)), 0) << c.name;
        worker.start();
        worker.wait();
        ASSERT_EQ(worker.repair(), 0) << c.name;

        if (c.cut_to_sectors)
            std::filesystem::resize_file(image, c.cut_to_sectors * sector);
        if (c.break_boot_sector)
            test_support::write_bytes(image, boot_partition * sector + 510, {0, 0});
        if (c.chs_reads)
            force_chs_reads(image);
        const std::string output = boot(image, c.expected, dir);
        EXPECT_NE(output.find(c.expected), std::string::npos) << c.name << ":\n" << output;
    }
}

} // namespace
