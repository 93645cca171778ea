#include "recovery_disks.h"

#include "test_support.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <memory>

namespace {

bool have_tools()
{
    for (const char* tool : {"mkfs.fat", "mcopy", "mdel", "sfdisk", "convert", "python3", "gzip"})
        if (!test_support::have_program(tool))
            return false;
    return true;
}

QByteArray make_picture()
{
    QImage image(96, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(30, 90, 200));
    painter.fillRect(10, 10, 40, 30, QColor(250, 200, 20));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A 16 MiB FAT16 image without a partition table; `commands` run mtools on it (::).
bool make_stick(const std::string& image, const std::string& commands)
{
    test_support::make_sparse_file(image, 16 << 20);
    return test_support::run("mkfs.fat -F 16 '" + image + "' >/dev/null") == 0 &&
           test_support::run("export MTOOLS_SKIP_CHECK=1 MTOOLS_NO_VFAT=0 IMG='" + image + "'; " +
                             commands) == 0;
}

volume_item_s volume_at(const std::string& image, int number)
{
    const QString mount = QString::fromStdString(image) + '#' + QString::number(number);
    for (const volume_item_s& volume : volume_list())
        if (volume.mount_path == mount)
            return volume;
    return {};
}

std::unique_ptr<recovery_disks> make_disks()
{
    auto disks = std::make_unique<recovery_disks>();
    static test_support::scratch_dir folder;
    disks->scratch = folder.path().string();
    disks->demo_image = folder.file("demo.img");
    const std::string script = std::string(ZORVANE_DEMO_TOOLS) + "/make_recovery_volumes.sh";
    if (test_support::run("'" + script + "' '" + disks->demo_image + "' '" +
                          std::string(ZORVANE_TEST_DATA) + "/ntfs-lastaccess.raw.gz'") != 0)
        return nullptr;
    disks->ntfs_start = (2048 + 131072) * 512ull;

    disks->picture = make_picture();
    const std::string picture = folder.file("picture.png");
    QFile picture_file(QString::fromStdString(picture));
    if (!picture_file.open(QIODevice::WriteOnly) || picture_file.write(disks->picture) < 0)
        return nullptr;
    picture_file.close();
    const std::string clean = folder.file("clean.img");
    const std::string sized = folder.file("sized.img");
    if (!make_stick(clean, "mmd -i \"$IMG\" ::/Pictures && mcopy -i \"$IMG\" '" + picture +
                               "' ::/Pictures/picture.png"))
        return nullptr;
    const std::string exact = folder.file("exact.bin"), over = folder.file("over.bin");
    test_support::run("head -c 5242880 /dev/urandom >'" + exact + "'");
    test_support::run("head -c 5242881 /dev/urandom >'" + over + "'");
    if (!make_stick(sized, "mmd -i \"$IMG\" ::/Big && mcopy -i \"$IMG\" '" + exact + "' '" + over +
                               "' ::/Big/ && mdel -i \"$IMG\" ::/Big/exact.bin ::/Big/over.bin"))
        return nullptr;

    test_support::use_disks({disks->demo_image, clean, sized});
    enumerate_volumes();
    disks->fat = volume_at(disks->demo_image, 1);
    disks->ntfs = volume_at(disks->demo_image, 2);
    disks->unformatted = volume_at(disks->demo_image, 3);
    disks->clean = volume_at(clean, 1);
    disks->sized = volume_at(sized, 1);
    return disks;
}

} // namespace

const recovery_disks* made_recovery_disks()
{
    static const std::unique_ptr<recovery_disks> disks = have_tools() ? make_disks() : nullptr;
    return disks.get();
}
