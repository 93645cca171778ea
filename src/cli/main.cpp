// zorvane-cli: the recovery engines from the command line.
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/output.h"

#include <QCoreApplication>

#include <cstdio>
#include <map>

namespace {

const char* const usage =
    "usage: zorvane-cli COMMAND [options]\n"
    "\n"
    "  disks [--json]                          list the physical disks\n"
    "  find-partitions DISK [--json]           search DISK for lost NTFS and FAT32 partitions\n"
    "  repair DISK --yes [--json]              search DISK, then write the partitions found\n"
    "                                          into its partition table (sector 0)\n"
    "  volumes [--json]                        list the volumes\n"
    "  scan VOLUME [--deep] [--json] [--save FILE.sav]\n"
    "                                          list the deleted files of VOLUME (FAT or NTFS),\n"
    "                                          or with --deep carve files by their content\n"
    "  load FILE.sav [--json]                  list the files of a saved deep scan\n"
    "  recover VOLUME [--deep] --to DIR (--id ID ... | --all)\n"
    "  recover --from FILE.sav --to DIR (--id ID ... | --all)\n"
    "                                          write the chosen files into DIR\n"
    "\n"
    "DISK is a disk number or its \\\\.\\PhysicalDriveN path; VOLUME is a row of the volume\n"
    "list (1 = the first), a mount path or a volume name. With ZORVANE_DISKS set to a\n"
    "':'-separated list of disk image files, those images are the disks.\n";

using command_fn = int (*)(const arguments&);

const std::map<QString, command_fn> commands = {
    {"disks", command_disks},
    {"find-partitions", command_find_partitions},
    {"repair", command_repair},
    {"volumes", command_volumes},
    {"scan", command_scan},
    {"load", command_load},
    {"recover", command_recover},
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList words = app.arguments();
    words.removeFirst();
    if (words.isEmpty() || words.front() == "--help" || words.front() == "help") {
        std::fputs(usage, words.isEmpty() ? stderr : stdout);
        return words.isEmpty() ? exit_usage : exit_ok;
    }
    arguments args;
    QString error;
    if (!parse_arguments(words, args, error))
        return fail(error + " (see zorvane-cli --help)", exit_usage);
    const auto command = commands.find(args.command);
    if (command == commands.end())
        return fail(QStringLiteral("unknown command '%1' (see zorvane-cli --help)").arg(args.command),
                    exit_usage);
    return command->second(args);
}
