#include "cli_runner.h"

#include <QProcess>
#include <QProcessEnvironment>

cli_result run_cli(const QStringList& arguments, const std::vector<std::string>& disks,
                   const std::string& data_home)
{
    QStringList list;
    for (const std::string& d : disks)
        list << QString::fromStdString(d);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZORVANE_DISKS", list.join(':'));
    if (!data_home.empty())
        env.insert("XDG_DATA_HOME", QString::fromStdString(data_home));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(ZORVANE_CLI, arguments);
    process.waitForFinished(120000);
    cli_result result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}
